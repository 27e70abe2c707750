# SPDX-License-Identifier: MIT
# A stripped install (cmake --install --strip, and so the Debian package) also drops the
# compilers' .comment and the bare .note sections from the programs, as Debian's dh_strip does:
# they hold only the versions of the tools that built them. Included after the programs' install
# rules, so that it runs once they are in place.
if(CMAKE_OBJCOPY)
  set(zelk_installed_programs "${CMAKE_INSTALL_BINDIR}/zelk")
  if(TARGET zelk-desktop)
    list(APPEND zelk_installed_programs "libexec/zelk/zelk-desktop")
  endif()
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program ${zelk_installed_programs})
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
          --remove-section=.note \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\"
          RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
          message(FATAL_ERROR \"objcopy could not strip \${program}\")
        endif()
      endforeach()
    endif()")
endif()
