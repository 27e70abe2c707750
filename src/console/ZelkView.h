// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "console/ZelkDoc.h"
#include "environment/OptionsFile.h"

namespace zelk {

class DrawContext;
class Platform;

// The cursor moves of the input line: a character left or right, to the start or the end of the
// input, to the start of the word before the cursor or the end of the word after it.
enum class CursorMove { Left, Right, Home, End, WordLeft, WordRight };

// The source that Compile and Launch compiles: the one compiled (by `compile NAME` or File >
// Compile) or opened (File > Open) last in this run.
struct RememberedSource {
  std::string loadDir;   // its folder, as the load directory holds it ("/home/me\")
  std::string name;      // the name the source and output paths are built from ("intro")
  std::string fileName;  // the file's name as it was chosen or built ("INTRO.SCR")
};

// The console view, free of any platform: the key rules that turn typed characters into an input
// line, the hand-over of that line to the command interpreter, the paint, and the view's creation
// and destruction steps. The desktop windows and batch mode all drive it.
//
// It ties the console together for one run: the document, the platform, the start-up directory
// (where the options file and the error sound are), and the compile state the console keeps.
class CZelkView {
 public:
  CZelkView(CZelkDoc& doc, Platform& platform);
  CZelkView(const CZelkView&) = delete;
  CZelkView& operator=(const CZelkView&) = delete;

  // Creation: records the start-up directory, loads the options file and clears the screen.
  void OnCreate();
  // Destruction: saves the options file without any message. Returns whether the save worked,
  // so that the program can say at its end that the settings were lost.
  bool OnDestroy();

  // The height of the console's area changed (the window, its bars, the lines of batch mode):
  // the last usable line follows it, and the current line stays usable, so the prompt is in view.
  void SetClientHeight(int pixels);

  // The key rules, for one character code after the keyboard's translation: a character is
  // inserted at the cursor, lower-cased unless the characters before it leave a double quote
  // open; Backspace removes the character before the cursor; Enter and Tab hand over the whole
  // line.
  void OnChar(unsigned char code);
  // The editing keys that produce no character: a cursor move within the input, and Delete,
  // which removes the character under the cursor. Each repaints as a typed character does.
  void MoveCursor(CursorMove move);
  void OnDelete();
  // Enter and Tab: hands the input line to the command interpreter.
  void SubmitInput();
  // The paint: the 50 lines, green on black. It changes nothing.
  void OnDraw(DrawContext& dc) const;

  // A menu or toolbar command that runs a console word as if it had been typed, without opening
  // a new prompt first. Status is framed by two rules.
  void RunBridge(const char* word);
  void OnActionStatus();
  void OnHelpCommandList();

  CZelkDoc& Doc() { return m_doc; }
  const CZelkDoc& Doc() const { return m_doc; }
  Platform& Host() const { return m_platform; }

  // The start-up directory: the Windows-1252 text that messages show, and the host path that
  // files are opened with. Both are kept whole, whatever their length.
  const std::string& StartDir() const { return m_startDir; }
  const std::string& StartDirHost() const { return m_startDirHost; }
  // Saves the settings to the options file in the start-up directory, keeping what the file held
  // beyond them when it was read at creation. False when it could not be written.
  bool SaveOptionsFile(SaveMode mode) const;

  // A compile is running (a compile line inside its source is refused).
  bool Compiling() const { return m_compiling; }
  void SetCompiling(bool compiling) { m_compiling = compiling; }
  // Compiles that did not end in success since the view was created (batch mode's exit status).
  int FailedCompiles() const { return m_failedCompiles; }
  void AddFailedCompile() { ++m_failedCompiles; }
  // The source compiled or opened last; none before the first.
  const std::optional<RememberedSource>& LastSource() const { return m_lastSource; }
  void RememberSource(RememberedSource source) { m_lastSource = std::move(source); }

 private:
  CZelkDoc& m_doc;
  Platform& m_platform;
  std::string m_startDir;
  std::string m_startDirHost;
  // The options file as it was read at creation, for the saves.
  OptionsImage m_optionsRead;
  bool m_compiling = false;
  int m_failedCompiles = 0;
  std::optional<RememberedSource> m_lastSource;

  // Step 1 of the key rules: the paint draws normally again, without an erase.
  void BeginKey();
};

}  // namespace zelk
