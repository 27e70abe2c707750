// SPDX-License-Identifier: MIT
#include "desktop/QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMetaObject>
#include <QStringList>
#include <QUrl>

#include "console/OpenCompileCommands.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/EnvironmentDialog.h"
#include "platform/Cp1252.h"
#include "platform/Process.h"
#include "desktop/SoundPlayer.h"

namespace zelk {
namespace {

QString FromZelk(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}
std::string ToZelk(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

}  // namespace

void QtPlatform::RequestRepaint(bool erase) {
  if (m_console) m_console->RequestRepaint(erase);
}

void QtPlatform::RequestClose() {
  // Queued: the command that asked returns first, as after posting a close message.
  if (m_mainWindow) QMetaObject::invokeMethod(m_mainWindow, "close", Qt::QueuedConnection);
}

StartResult QtPlatform::OpenUrl(const std::string& url) {
  if (url.empty()) return StartResult::Failed(NO_ADDRESS_REASON);
  if (QDesktopServices::openUrl(QUrl(QString::fromStdString(url)))) return {};
  return StartResult::Failed(NO_PAGE_OPENER_REASON);
}

StartResult QtPlatform::StartProgram(const ProgramStart& start) {
  // The same start as batch mode's: never through a shell, detached, and with the reason of a
  // failure (QProcess reports only that it failed).
  return StartDetachedProcess(start);
}

void QtPlatform::PlaySoundSync(const std::string& wavePath) {
  // The wave file, else the desktop's alert sound, else the beep.
  if (!PlayWaveFileSync(wavePath) && !PlaySoundEventSync("dialog-error")) QApplication::beep();
}

void QtPlatform::ShowMessageBox(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Zelk"), FromZelk(text).trimmed(),
                  QMessageBox::Ok, m_mainWindow);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

DialogResult QtPlatform::RunEnvironmentDialog(EnvironmentSettings& settings) {
  CEnvironmentDialog dialog(settings, m_mainWindow);
  return dialog.exec() == QDialog::Accepted ? DialogResult::Accepted : DialogResult::Cancelled;
}

QString QtPlatform::QtFileFilter(const std::string& filter) {
  QStringList entries;
  for (const FileTypeFilter& choice : SplitFileFilter(filter)) {
    const QString description = FromZelk(choice.description);
    const QString pattern = FromZelk(choice.pattern);
    const QString ownPattern = QLatin1Char('(') + pattern + QLatin1Char(')');
    if (description.endsWith(ownPattern, Qt::CaseInsensitive)) {
      entries << description;
    } else {
      entries << description + QLatin1Char(' ') + ownPattern;
    }
  }
  return entries.join(QStringLiteral(";;"));
}

FileChoice QtPlatform::DescribeChoice(const QString& hostPath) {
  FileChoice choice;
  if (hostPath.isEmpty()) return choice;
  const QFileInfo info(hostPath);
  choice.fullPath = ZelkPathText(QDir::cleanPath(info.absoluteFilePath()).toStdString());
  choice.fileName = ToZelk(info.fileName());
  choice.fileTitle = ToZelk(info.completeBaseName());
  choice.extension = ToZelk(info.suffix());
  return choice;
}

FileChoice QtPlatform::ChooseFile(const std::string& filter, const std::string& initialDir) {
  const QString qtFilter = QtFileFilter(filter);
  QString startDir = QString::fromStdString(HostPath(initialDir));
  if (initialDir.empty() || !QFileInfo(startDir).isDir()) startDir = QDir::currentPath();
  // Qt's own dialog: its name filters ignore letter case, as the filters expect ("*.scr" also
  // shows INTRO.SCR). It takes a typed name of a file that does not exist yet (a new script).
  QFileDialog dialog(m_mainWindow, QString(), startDir, qtFilter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  QString chosen;
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    chosen = dialog.selectedFiles().constFirst();
  }
  return DescribeChoice(chosen);
}

std::string QtPlatform::CurrentDirectory() {
  return ReadCurrentDirectory();
}

}  // namespace zelk
