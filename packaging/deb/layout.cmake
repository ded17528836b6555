# Run by CPack on the staged tree: systemd finds package units only in /lib/systemd/system,
# outside the package's prefix.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
set(staged "${root}${CPACK_PACKAGING_INSTALL_PREFIX}/lib/systemd/system")
if(EXISTS "${staged}")
  file(MAKE_DIRECTORY "${root}/lib/systemd")
  file(RENAME "${staged}" "${root}/lib/systemd/system")
  # Drop the folders left empty under the prefix.
  foreach(dir "${root}${CPACK_PACKAGING_INSTALL_PREFIX}/lib/systemd" "${root}${CPACK_PACKAGING_INSTALL_PREFIX}/lib")
    file(GLOB left "${dir}/*")
    if(NOT left)
      file(REMOVE_RECURSE "${dir}")
    endif()
  endforeach()
endif()
