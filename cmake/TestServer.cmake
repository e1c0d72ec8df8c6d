# Loopback test servers for the tests, as CTest fixtures.
#
#   helm_test_server(<name> [HTTPS selfsigned|trusted])
#
# registers the fixture <name>: a setup test starts tools/testserver/server.py
# natively on 127.0.0.1 (a free port) serving ${CMAKE_BINARY_DIR}/testservers/<name>/root,
# and a cleanup test stops that server by its recorded PID. The folder
# ${CMAKE_BINARY_DIR}/testservers/<name>/ holds "port", "pid", "scheme" and the
# server's "log". HTTPS trusted also adds the local CA to the Wine prefix's ROOT
# store, so https://localhost:PORT/ is trusted; HTTPS selfsigned is refused by
# WinINet (12045). All HTTPS servers share the certificates in testservers/certs.
#
# Tests ask for servers by name: helm_add_test(... SERVERS <name>...) or
# set_tests_properties(<test> PROPERTIES FIXTURES_REQUIRED <name>). In the
# tests, TestServerClient(L"<name>") (tests/support/TestServerClient.h) reads the
# port and talks to the server's control endpoint. Tests that change a shared
# server's rules or read its request log take LOCK network.
find_program(PYTHON3 python3 REQUIRED)
set(HELM_TESTSERVER_DIR ${CMAKE_SOURCE_DIR}/tools/testserver)

function(helm_test_server name)
  cmake_parse_arguments(S "" "HTTPS" "" ${ARGN})
  set(folder ${CMAKE_BINARY_DIR}/testservers/${name})
  set(start_args start ${folder})
  if(S_HTTPS)
    if(NOT S_HTTPS MATCHES "^(selfsigned|trusted)$")
      message(FATAL_ERROR "helm_test_server(${name}): HTTPS must be selfsigned or trusted")
    endif()
    list(APPEND start_args --https ${S_HTTPS} --certdir ${CMAKE_BINARY_DIR}/testservers/certs)
  endif()
  add_test(NAME testserver_${name}_start COMMAND ${PYTHON3} ${HELM_TESTSERVER_DIR}/fixture.py ${start_args})
  add_test(NAME testserver_${name}_stop COMMAND ${PYTHON3} ${HELM_TESTSERVER_DIR}/fixture.py stop ${folder})
  set_tests_properties(testserver_${name}_start PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 60)
  set_tests_properties(testserver_${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} TIMEOUT 60)
  if(S_HTTPS STREQUAL "trusted")
    helm_windows_path(ca_der ${CMAKE_BINARY_DIR}/testservers/certs/ca.der)
    add_test(NAME testserver_${name}_trust COMMAND trust_root_ca ${ca_der})
    set_tests_properties(testserver_${name}_trust PROPERTIES
      FIXTURES_SETUP ${name} DEPENDS testserver_${name}_start TIMEOUT 120)
  endif()
endfunction()
