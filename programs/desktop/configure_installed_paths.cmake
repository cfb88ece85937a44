# Run while installing: writes the launcher and the desktop entry with the
# absolute paths of this installation. The caller sets MATE_LIBEXEC_SUBDIR,
# MATE_DATA_SUBDIR, MATE_BIN_SUBDIR (each relative to the prefix, or
# absolute), MATE_SOURCE_DIR and MATE_CONFIGURED_DIR. DESTDIR, a staging root,
# is not part of the paths the installed files name.

function(mate_installed_path out subdir)
  if(IS_ABSOLUTE "${subdir}")
    set(${out} "${subdir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${subdir}" PARENT_SCOPE)
  endif()
endfunction()

mate_installed_path(MATE_INSTALL_LIBEXEC "${MATE_LIBEXEC_SUBDIR}")
mate_installed_path(MATE_INSTALL_DATA "${MATE_DATA_SUBDIR}")
mate_installed_path(bin_dir "${MATE_BIN_SUBDIR}")
set(MATE_LAUNCHER "${bin_dir}/vindolar")

configure_file("${MATE_SOURCE_DIR}/vindolar-launcher.sh.in" "${MATE_CONFIGURED_DIR}/vindolar" @ONLY)
configure_file("${MATE_SOURCE_DIR}/vindolar.desktop.in" "${MATE_CONFIGURED_DIR}/vindolar.desktop" @ONLY)
