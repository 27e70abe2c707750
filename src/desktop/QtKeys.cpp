// SPDX-License-Identifier: MIT
#include "desktop/QtKeys.h"

#include <QKeyEvent>
#include <utility>

namespace zelk {
namespace {

// The named keys; letters and digits have the same codes in both.
constexpr std::pair<Qt::Key, Key> kNamedKeys[] = {
    {Qt::Key_Plus, Key::Plus},        {Qt::Key_Minus, Key::Minus},
    {Qt::Key_Equal, Key::Equal},      {Qt::Key_Up, Key::Up},
    {Qt::Key_Down, Key::Down},        {Qt::Key_Left, Key::Left},
    {Qt::Key_Right, Key::Right},      {Qt::Key_Home, Key::Home},
    {Qt::Key_End, Key::End},          {Qt::Key_PageUp, Key::PageUp},
    {Qt::Key_PageDown, Key::PageDown}, {Qt::Key_Insert, Key::Insert},
    {Qt::Key_Delete, Key::Delete},
};

}  // namespace

KeyChord ChordOf(const QKeyEvent& event) {
  KeyChord chord;
  const int key = event.key();
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
    chord.key = static_cast<Key>(key);
  } else if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    chord.key = static_cast<Key>(static_cast<int>(Key::F1) + (key - Qt::Key_F1));
  } else {
    for (const auto& [qt, own] : kNamedKeys) {
      if (qt == key) chord.key = own;
    }
  }
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if (modifiers & Qt::ShiftModifier) chord.modifiers |= MOD_SHIFT;
  if (modifiers & Qt::ControlModifier) chord.modifiers |= MOD_CTRL;
  if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) chord.modifiers |= MOD_ALT;
  return chord;
}

QKeySequence KeySequenceOf(KeyChord chord) {
  const int own = static_cast<int>(chord.key);
  int key = 0;
  if ((own >= '0' && own <= '9') || (own >= 'A' && own <= 'Z')) {
    key = own;
  } else if (own >= static_cast<int>(Key::F1) && own <= static_cast<int>(Key::F12)) {
    key = Qt::Key_F1 + (own - static_cast<int>(Key::F1));
  } else {
    for (const auto& [qt, named] : kNamedKeys) {
      if (named == chord.key) key = qt;
    }
  }
  if (key == 0) return {};
  int modifiers = 0;
  if (chord.modifiers & MOD_SHIFT) modifiers |= Qt::SHIFT;
  if (chord.modifiers & MOD_CTRL) modifiers |= Qt::CTRL;
  if (chord.modifiers & MOD_ALT) modifiers |= Qt::ALT;
  return QKeySequence(modifiers | key);
}

}  // namespace zelk
