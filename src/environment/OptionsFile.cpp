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

namespace {

bool WriteImage(OutputFile& file, const unsigned char* image) {
  const bool written = file.Write(reinterpret_cast<const char*>(image), OPTIONS_IMAGE_SIZE);
  const bool closed = file.Close();
  return written && closed;
}

}  // namespace

std::string OptionsFilePath(CZelkView& view) {
  return JoinHostPath(view.m_startDirHost, OptionsFileName(view));
}

bool SaveOptions(CZelkView& view) {
  FileSystem& files = view.m_platform.Files();
  const std::string target = OptionsFilePath(view);
  if (files.IsReadOnly(target)) return false;
  unsigned char image[OPTIONS_IMAGE_SIZE];
  WriteSettingsImage(view.m_doc.m_settings, image);

  // Written beside the file and renamed over it, a failed save leaves the old file whole.
  const std::string temporary = target + ".new";
  if (auto file = files.Create(temporary)) {
    if (!WriteImage(*file, image) || !files.Rename(temporary, target)) {
      files.Remove(temporary);
      return false;
    }
    return true;
  }
  // A folder in which the user may write the options file but not create files (a shared folder
  // with a prepared options file): the file is written in place.
  auto file = files.Create(target);
  return file && WriteImage(*file, image);
}

std::string FinalSaveFailedText(CZelkView& view) {
  return "zelk: cannot save the options file " + OptionsFilePath(view) +
         "; the settings changed in this run are lost\n";
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
