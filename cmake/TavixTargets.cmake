# Shared settings of the project's own targets.

# Warnings on and fatal for our own code.
function(tavix_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-missing-field-initializers)
endfunction()

# Module code: nothing visible outside the shared object unless marked.
function(tavix_hidden target)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden C_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# A GoogleTest executable from every .cpp of a folder.
function(tavix_test_suite name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  tavix_warnings(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock ${ARGN})
  # Vendor BSDL files of other devices, beside the repository.
  target_compile_definitions(${name} PRIVATE TAVIX_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/../shared/samples/bsdl/")
  # A suite may stand in for the host program, whose entry points the module finds by name
  # in the process's global scope.
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  # Tests read the pictures and data files of the host's layout.
  if(TARGET device_images)
    add_dependencies(${name} device_images)
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${TAVIX_BIN_DIR} DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()
