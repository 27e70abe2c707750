// SPDX-License-Identifier: MIT
#include "desktop/ZelkApp.h"

#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QMessageBox>

#include "desktop/MainFrame.h"
#include "console/ZelkDoc.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/QtDrawContext.h"
#include "desktop/StopSignalWatcher.h"

namespace zelk {

CZelkApp::CZelkApp(int& argc, char** argv) : m_app(argc, argv) {}

CZelkApp::~CZelkApp() {
  m_frame.reset();
  m_doc.reset();
}

void CZelkApp::SetSettingsLocation() {
  QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("Zelk"));
}

bool CZelkApp::InitInstance(const std::string& fileName) {
  SetSettingsLocation();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/zelk.svg")));
  m_recentFiles.Load();

  // A file named on the command line that cannot be read ends the start-up before anything is
  // created (so nothing is loaded or saved either).
  const QString documentName = QString::fromStdString(fileName);
  if (!documentName.isEmpty()) {
    QFile file(documentName);
    if (!file.open(QIODevice::ReadOnly)) {
      QMessageBox::critical(
          nullptr, QStringLiteral("Zelk"),
          QStringLiteral("Cannot open %1:\n%2").arg(documentName, file.errorString()));
      return false;
    }
  }

  m_doc =
      std::make_unique<CZelkDoc>(DescribeFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)));
  m_frame = std::make_unique<CMainFrame>(*m_doc, m_platform, m_recentFiles);
  if (!documentName.isEmpty() && !m_frame->OpenDocument(documentName)) return false;
  new StopSignalWatcher(m_frame.get());
  m_frame->show();
  m_frame->Console()->setFocus();
  return true;
}

int CZelkApp::Run() {
  return m_app.exec();
}

}  // namespace zelk
