# The desktop console on Qt 6 Widgets. Only this library links Qt; the core stays free of it.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(CANBERRA IMPORTED_TARGET libcanberra)
endif()

add_library(zelk_gui STATIC
  app/desktop/AboutBox.cpp
  app/desktop/AboutBox.h
  app/desktop/DesktopApp.cpp
  app/desktop/DesktopApp.h
  app/desktop/MainFrame.cpp
  app/desktop/MainFrame.h
  app/desktop/RecentFileList.cpp
  app/desktop/RecentFileList.h
  app/desktop/ZelkApp.cpp
  app/desktop/ZelkApp.h
  console/desktop/ConsoleWidget.cpp
  console/desktop/ConsoleWidget.h
  console/desktop/QtDrawContext.cpp
  console/desktop/QtDrawContext.h
  environment/desktop/EnvironmentDialog.cpp
  environment/desktop/EnvironmentDialog.h
  platform/desktop/DialogUnits.cpp
  platform/desktop/DialogUnits.h
  platform/desktop/QtPlatform.cpp
  platform/desktop/QtPlatform.h
  platform/desktop/SoundPlayer.cpp
  platform/desktop/SoundPlayer.h
  platform/desktop/StopSignalWatcher.cpp
  platform/desktop/StopSignalWatcher.h
)
set_target_properties(zelk_gui PROPERTIES AUTOMOC ON)
target_link_libraries(zelk_gui PUBLIC zelk_core Qt6::Widgets Qt6::Svg)
if(CANBERRA_FOUND)
  target_link_libraries(zelk_gui PRIVATE PkgConfig::CANBERRA)
  target_compile_definitions(zelk_gui PRIVATE ZELK_HAVE_CANBERRA=1)
else()
  message(STATUS "libcanberra not found: the error sound falls back to the system beep")
endif()

# The toolbar icons and the application icon, drawn for Zelk as SVG files.
set(zelk_resource_dir ${PROJECT_SOURCE_DIR}/resources)
qt_add_resources(zelk_gui zelk_icons
  PREFIX "/"
  BASE ${zelk_resource_dir}
  FILES
    ${zelk_resource_dir}/zelk.svg
    ${zelk_resource_dir}/toolbar/open.svg
    ${zelk_resource_dir}/toolbar/compile.svg
    ${zelk_resource_dir}/toolbar/status.svg
    ${zelk_resource_dir}/toolbar/clear.svg
    ${zelk_resource_dir}/toolbar/environment.svg
    ${zelk_resource_dir}/toolbar/quake2.svg
    ${zelk_resource_dir}/toolbar/home.svg
    ${zelk_resource_dir}/toolbar/support.svg
    ${zelk_resource_dir}/toolbar/cmdlist.svg
    ${zelk_resource_dir}/toolbar/about.svg
)
