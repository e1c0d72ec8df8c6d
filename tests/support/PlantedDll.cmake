# helm_planted_dll_test(<test> DLL <name> SOURCES <test sources>... PLANTED <source>
#                       PROBE <source> IMPORT_PROBE <source>)
# A test that <name>.dll planted beside a program is never loaded by the
# installer's code. Builds the planted DLL (planted_<name>.dll: the marker
# writer plus PLANTED, the export the control program imports), the probe on
# the installer's code (<name>_probe.exe) and the control program importing
# the DLL the ordinary way (<name>_import_probe.exe), and the test program,
# which runs them through PlantedDllTest.
set(HELM_TEST_SUPPORT_DIR ${CMAKE_CURRENT_LIST_DIR})
function(helm_planted_dll_test name)
  cmake_parse_arguments(P "" "DLL;PLANTED;PROBE;IMPORT_PROBE" "SOURCES" ${ARGN})
  set(support ${HELM_TEST_SUPPORT_DIR})
  set(planted planted_${P_DLL})
  add_library(${planted} SHARED ${support}/planted_dll_main.cpp ${P_PLANTED})
  set_target_properties(${planted} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_options(${planted} PRIVATE -static -static-libgcc -Wl,--kill-at)
  add_executable(${P_DLL}_probe ${P_PROBE})
  target_link_libraries(${P_DLL}_probe PRIVATE helmcore)
  add_executable(${P_DLL}_import_probe ${P_IMPORT_PROBE})
  target_link_libraries(${P_DLL}_import_probe PRIVATE ${P_DLL})
  foreach(probe ${P_DLL}_probe ${P_DLL}_import_probe)
    target_include_directories(${probe} PRIVATE ${support})
    target_link_options(${probe} PRIVATE -municode)
    set_target_properties(${probe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  endforeach()
  helm_add_test(${name} SOURCES ${P_SOURCES} ${support}/PlantedDllTest.cpp)
  target_include_directories(${name} PRIVATE ${support})
  add_dependencies(${name} ${planted} ${P_DLL}_probe ${P_DLL}_import_probe)
endfunction()
