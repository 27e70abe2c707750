#include "environment/OptionsFile.h"

#include "console/ZelkView.h"
#include "platform/Platform.h"

namespace zelk {
namespace {

constexpr const char* kOptionsFileName = "zelk.cfg";

// The name of the options file in the start-up directory: an existing file whose name equals
// zelk.cfg ignoring case (as the Windows program's Zelk.CFG), otherwise zelk.cfg.
std::string OptionsFileName(CZelkView& view) {
  std::string name = view.m_platform.Files().FindIgnoringCase(view.m_startDirHost,
                                                              kOptionsFileName);
  return name.empty() ? kOptionsFileName : name;
}

}  // namespace

std::string OptionsFileText(CZelkView& view) {
  return view.m_startDir + "\\" + ZelkPathText(OptionsFileName(view));
}

void LoadOptions(CZelkView& view) {
  FileSystem& files = view.m_platform.Files();
  const std::string name = files.FindIgnoringCase(view.m_startDirHost, kOptionsFileName);
  if (name.empty()) return;
  auto file = files.OpenRead(JoinHostPath(view.m_startDirHost, name));
  if (!file) return;
  unsigned char image[OPTIONS_IMAGE_SIZE];
  std::size_t size = 0;
  while (size < OPTIONS_IMAGE_SIZE) {
    const long long n = file->Read(reinterpret_cast<char*>(image) + size, OPTIONS_IMAGE_SIZE - size);
    if (n <= 0) break;
    size += static_cast<std::size_t>(n);
  }
  file->Close();
  ReadSettingsImage(image, size, view.m_doc.m_settings);
}

bool SaveOptions(CZelkView& view) {
  FileSystem& files = view.m_platform.Files();
  const std::string target = JoinHostPath(view.m_startDirHost, OptionsFileName(view));
  if (files.IsReadOnly(target)) return false;
  const std::string temporary = target + ".new";
  unsigned char image[OPTIONS_IMAGE_SIZE];
  WriteSettingsImage(view.m_doc.m_settings, image);

  auto file = files.Create(temporary);
  if (!file) return false;
  const bool written = file->Write(reinterpret_cast<const char*>(image), OPTIONS_IMAGE_SIZE);
  const bool closed = file->Close();
  if (!written || !closed || !files.Rename(temporary, target)) {
    files.Remove(temporary);
    return false;
  }
  return true;
}

void OnSaveOptions(CZelkView& view) {
  const std::string path = OptionsFileText(view);
  if (SaveOptions(view)) {
    view.m_doc.PrintFormat("Current options saved to '%s'", path.c_str());
  } else {
    view.m_doc.PrintFormat("Unable to saved to '%s'!", path.c_str());
  }
  view.m_platform.RequestRepaint(true);
}

}  // namespace zelk
