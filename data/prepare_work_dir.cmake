# Run at build time: lays out the ready working directory next to the
# programs. The example settings are written only when the directory holds no
# settings file yet, so a user's own settings are never overwritten.
#   cmake -DWORK_DIR=... -DEXAMPLE_SETTINGS=... -P prepare_work_dir.cmake
file(MAKE_DIRECTORY "${WORK_DIR}/Image")
if(NOT EXISTS "${WORK_DIR}/set_figure.txt")
  configure_file("${EXAMPLE_SETTINGS}" "${WORK_DIR}/set_figure.txt" COPYONLY)
endif()
