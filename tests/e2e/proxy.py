#!/usr/bin/env python3
"""Installs behind a company proxy: the real installer under Wine with the system proxy set (ProxyEnable and
ProxyServer under the user's Internet Settings) to a local forward proxy, against a server name that only that
proxy resolves. One install over HTTP, one over HTTPS through CONNECT; a proxy that asks for credentials is told
like any other HTTP status; and with the proxy switched off the same install goes direct.
"""

import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parents[1] / "tools"))
sys.path.insert(0, str(HERE.parents[1] / "tools" / "testserver"))
sys.path.insert(0, str(HERE))
from harness import installer as h  # noqa: E402
from harness.installer import INSTALL_BUTTON, LAUNCH_CHECKBOX, T, expect  # noqa: E402
from make_certs import PROXIED_NAME  # noqa: E402
from proxy import ForwardProxy  # noqa: E402
import cases  # noqa: E402  (the shared steps of the interactive cases)

INTERNET_SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
WANTED = (cases.MANIFEST_PATH, cases.PACKAGE_PATH)


def system_proxy(port, enabled=True):
    """What Internet Options would write; port None removes both values."""
    for name, kind, data in (("ProxyEnable", "REG_DWORD", int(enabled)), ("ProxyServer", "REG_SZ",
                                                                         f"127.0.0.1:{port}")):
        if port is None:
            h.run_wine(["reg", "delete", INTERNET_SETTINGS, "/v", name, "/f"], check=False)
        else:
            h.run_wine(["reg", "add", INTERNET_SETTINGS, "/v", name, "/t", kind, "/d", str(data), "/f"])


def install_from(c, server, base_url):
    """A whole install from base_url; the server saw the manifest and the package asked for."""
    h.reset_machine()
    server.clear_log()
    inst = c.start(None, args=["-test", base_url])
    cases.install_to_finish(c, inst)
    cases.expect_installed()
    inst.click(LAUNCH_CHECKBOX)
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")
    paths = [e["path"] for e in server.request_log()]
    expect(all(p in paths for p in WANTED), f"the server was asked for the manifest and the package ({paths})")


def through_proxy(c):
    with ForwardProxy({PROXIED_NAME: "127.0.0.1"}) as proxy:
        system_proxy(proxy.port)

        server = c.serve()
        base = f"http://{PROXIED_NAME}:{server.port}/"
        install_from(c, server, base)
        targets = [e["target"] for e in proxy.log()]
        expect(all(base + p.lstrip("/") in targets for p in WANTED),
               f"the proxy passed on the manifest and the package ({targets})")

        secure = c.serve(https="trusted")
        h.run_wine([h.BUILD / "tests" / "trust_root_ca.exe", h.windows_path(Path(secure.ca_der))])
        seen = len(proxy.log())
        install_from(c, secure, f"https://{PROXIED_NAME}:{secure.port}/")
        tunnels = proxy.log()[seen:]
        expect(tunnels and all(e == {"method": "CONNECT", "target": f"{PROXIED_NAME}:{secure.port}"}
                               for e in tunnels), f"HTTPS went through the proxy's tunnels only ({tunnels})")

        system_proxy(proxy.port, enabled=False)
        direct = c.serve()
        seen = len(proxy.log())
        install_from(c, direct, direct.base_url)
        expect(len(proxy.log()) == seen, f"with the proxy switched off nothing went through it ({proxy.log()[seen:]})")

    with ForwardProxy({PROXIED_NAME: "127.0.0.1"}, auth=True) as asking:
        system_proxy(asking.port)
        h.reset_machine()
        inst = c.start(None, args=["-test", base], expect_window=False)
        cases.expect_fatal_message(c, inst, T("error_generic", "407", "lista_updater.xml"), "proxy_credentials")
        expect(asking.log(), "the proxy was asked")


def main():
    return h.run_case("through_system_proxy", through_proxy, cleanup=lambda: system_proxy(None))


if __name__ == "__main__":
    sys.exit(main())
