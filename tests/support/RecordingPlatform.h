// SPDX-License-Identifier: MIT
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "environment/EnvironmentSettings.h"
#include "compiler/Diagnostic.h"
#include "console/Platform.h"

namespace zelk::test {

// A platform that records every call with its arguments, for tests. Files go to the real file
// system unless a test gives it another FileSystem (for example one that fails on purpose).
class RecordingPlatform : public Platform {
 public:
  struct ChooseFileCall {
    std::string filter;
    std::string initialDir;
  };

  void RequestRepaint(bool erase) override { repaints.push_back(erase); }
  void RequestClose() override { ++closeRequests; }
  StartResult OpenUrl(const std::string& url) override {
    urls.push_back(url);
    return urlResult;
  }
  StartResult StartProgram(const ProgramStart& start) override {
    programs.push_back(start);
    return startResult;
  }
  void PlaySoundSync(const std::string& wavePath) override { sounds.push_back(wavePath); }
  void ReportCompileError(const std::string& sourcePath, const Diagnostic& error) override {
    compileErrors.push_back({sourcePath, error});
  }
  void ReportCompileFailure(const std::string& path, const std::string& message) override {
    compileFailures.push_back({path, message});
  }
  void ShowMessageBox(const std::string& text) override { messageBoxes.push_back(text); }
  DialogResult RunEnvironmentDialog(EnvironmentSettings& settings) override {
    ++dialogRuns;
    return dialog ? dialog(settings) : DialogResult::Cancelled;
  }
  FileChoice ChooseFile(const std::string& filter, const std::string& initialDir) override {
    chooseFileCalls.push_back({filter, initialDir});
    if (fileChoices.empty()) return {};
    FileChoice choice = fileChoices.front();
    fileChoices.pop_front();
    return choice;
  }
  std::string CurrentDirectory() override { return currentDirectory; }
  FileSystem& Files() override { return files != nullptr ? *files : *m_hostFiles; }

  // What the test sets up.
  std::string currentDirectory;
  FileSystem* files = nullptr;
  std::function<DialogResult(EnvironmentSettings&)> dialog;
  std::deque<FileChoice> fileChoices;
  StartResult startResult;  // what every start of a program reports
  StartResult urlResult;    // what every opened page reports

  // What the code did.
  std::vector<bool> repaints;
  int closeRequests = 0;
  std::vector<std::string> urls;
  std::vector<ProgramStart> programs;
  std::vector<std::string> sounds;
  std::vector<std::pair<std::string, Diagnostic>> compileErrors;
  std::vector<std::pair<std::string, std::string>> compileFailures;
  std::vector<std::string> messageBoxes;
  int dialogRuns = 0;
  std::vector<ChooseFileCall> chooseFileCalls;

 private:
  std::unique_ptr<FileSystem> m_hostFiles = MakeHostFileSystem();
};

}  // namespace zelk::test
