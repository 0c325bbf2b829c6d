# Runs "cmake --install" of BUILD_DIR into a fresh STAGE_DIR and fails unless
# every path of EXPECTED_FILES (relative to the stage) exists afterwards.
file(REMOVE_RECURSE ${STAGE_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE_DIR}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(missing "")
foreach(path IN LISTS EXPECTED_FILES)
  if(NOT EXISTS ${STAGE_DIR}/${path})
    list(APPEND missing ${path})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()
list(LENGTH EXPECTED_FILES count)
message(STATUS "all ${count} expected files installed")
