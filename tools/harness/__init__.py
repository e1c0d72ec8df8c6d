"""What the Python tests, the benchmarks and the demo share: checks (checks), the installer's texts as the
catalogue reads them (texts), and driving the real installer under Wine against the loopback test server
(installer)."""
