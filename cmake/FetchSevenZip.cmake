# Fetches the 7-Zip console extractor from the npm registry at a pinned
# version and refuses anything whose SHA-256 differs from the pinned one: the
# 32-bit tool for the installer, the 64-bit one for the 64-bit test build.
# Run as: cmake -DOUT=<path/7za.exe> -DWORK=<scratch dir> [-DARCH=ia32|x64] -P FetchSevenZip.cmake
set(PACKAGE "7zip-bin")
set(VERSION "5.2.0")
if(NOT DEFINED ARCH OR ARCH STREQUAL "ia32")
  set(MEMBER "package/win/ia32/7za.exe")
  set(SHA256 "31fd52f8996986623cf52c3b4d0f7ac74a9dec63fc16c902cef673eed550c435")
elseif(ARCH STREQUAL "x64")
  set(MEMBER "package/win/x64/7za.exe")
  set(SHA256 "b0cfdeaf429f5cc53f85123dd8f5a5feb92c19d31aa34df257edf9a26be05f95")
else()
  message(FATAL_ERROR "7za.exe: unknown ARCH '${ARCH}' (ia32 or x64)")
endif()

find_program(NPM npm)
if(NOT NPM)
  message(FATAL_ERROR "7za.exe: npm is needed to fetch ${PACKAGE}@${VERSION}; run scripts/test or install npm")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${NPM}" pack "${PACKAGE}@${VERSION}" --silent
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc OUTPUT_VARIABLE tarball ERROR_VARIABLE err
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0 OR NOT EXISTS "${WORK}/${tarball}")
  message(FATAL_ERROR "7za.exe: could not download ${PACKAGE}@${VERSION} from the npm registry:\n${err}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xzf "${tarball}" "${MEMBER}"
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT EXISTS "${WORK}/${MEMBER}")
  message(FATAL_ERROR "7za.exe: ${PACKAGE}@${VERSION} does not hold ${MEMBER}")
endif()
file(SHA256 "${WORK}/${MEMBER}" actual)
if(NOT actual STREQUAL SHA256)
  message(FATAL_ERROR "7za.exe: SHA-256 mismatch for ${PACKAGE}@${VERSION}\n  expected ${SHA256}\n  got      ${actual}")
endif()
file(COPY_FILE "${WORK}/${MEMBER}" "${OUT}")
file(REMOVE_RECURSE "${WORK}")
