# The unit tests of the installer's Windows-free code (the folders' PURE
# sources), named from tests/. The Windows build runs them under Wine in its
# folders' test programs (helm_pure_tests); the native build (tests/native)
# compiles them all into one program under the sanitizers. So a test named
# here is all either build needs.
set(HELM_PURE_TESTS
  app/TempRelaunchNameTest.cpp
  install/CommandLinesTest.cpp
  install/DeletionGuardTest.cpp
  install/InstallStateTest.cpp
  install/MakerFolderTest.cpp
  install/RunPlanTest.cpp
  install/UnzipBatchTest.cpp
  net/ByteRangeTest.cpp
  net/DownloadAbortTest.cpp
  profile/ManifestPackageHashTest.cpp
  profile/ManifestVersionTest.cpp
  profile/ProductVersionTest.cpp
  report/ExitCodesTest.cpp
  settings/RegistryKeyPathsTest.cpp
  ui/WebAddressTest.cpp
  ui/WindowFlowTest.cpp
  ui/WindowLayoutTest.cpp)

# helm_pure_tests(<variable>): the pure tests of the calling tests/ folder,
# relative to it.
function(helm_pure_tests out)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(tests ${HELM_PURE_TESTS})
  list(FILTER tests INCLUDE REGEX "^${folder}/")
  list(TRANSFORM tests REPLACE "^${folder}/" "")
  set(${out} ${tests} PARENT_SCOPE)
endfunction()
