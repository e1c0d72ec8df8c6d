#pragma once
// The tests' side of a loopback test server started by a CTest fixture
// (helm_test_server in cmake/TestServer.cmake). Reads the port the server
// wrote and drives its control endpoint over WinHTTP, so the control traffic
// shares nothing with the WinINet code under test.
#include <string>
#include <vector>

class TestServerClient {
  public:
    // name: the fixture name given to helm_test_server.
    explicit TestServerClient(const std::wstring& name);

    // False when the fixture's files could not be read; Error() says why.
    bool Ready() const { return port_ != 0; }
    const std::string& Error() const { return error_; }

    int Port() const { return port_; }
    bool Https() const { return https_; }
    // "http://127.0.0.1:PORT/", or "https://localhost:PORT/" (the name the
    // certificates carry).
    std::wstring BaseUrl() const;
    // The Windows path of the folder the server serves, ending in '\'.
    std::wstring RootFolder() const;

    // Replaces (merge: extends) the per-path rules; JSON text {path: behaviour}.
    bool SetRules(const std::string& json, bool merge = false);
    bool ClearLog();
    // The request log as the server's JSON text ("[]" when nothing was
    // asked for). A failed request for it fails the test and reads as one
    // request, never as an empty log.
    std::string Log();
    // The "path" of every logged request, in order.
    std::vector<std::string> LoggedPaths();

  private:
    // Returns the body; status is 0 when no answer arrived.
    std::string Control(const wchar_t* verb, const std::wstring& path, const std::string& body,
                        unsigned& status);

    std::wstring folder_;
    int port_ = 0;
    bool https_ = false;
    std::string error_;
};

// Every "path" value in a request-log JSON text.
std::vector<std::string> PathsInLog(const std::string& logJson);
