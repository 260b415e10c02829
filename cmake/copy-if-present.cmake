# cmake -DSOURCE=file -DDEST=folder -P copy-if-present.cmake: copies the file into the
# folder when it exists and differs; nothing when it does not exist.
if(EXISTS "${SOURCE}")
  file(MAKE_DIRECTORY "${DEST}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${SOURCE}" "${DEST}/")
endif()
