// A trace line as the programs write it, into the device's debug.log: the cost every traced call
// of a program pays.
#include "base/debug_output.h"
#include "base/device_folder.h"

#include <winbase.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class DeviceLog {
  public:
    DeviceLog() {
        m_folder = std::filesystem::temp_directory_path() /
                   ("debug_output_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        ::unsetenv("TELVANE_DEBUG");
        handset::set_device_folder(m_folder);
    }
    ~DeviceLog() {
        handset::set_device_folder({});
        std::filesystem::remove_all(m_folder);
    }
    DeviceLog(const DeviceLog&) = delete;
    DeviceLog& operator=(const DeviceLog&) = delete;

  private:
    std::filesystem::path m_folder;
};

void BM_TraceLineToTheDeviceLog(benchmark::State& state) {
    DeviceLog log;
    const std::u16string line = u"Telvane <RD_INFO>: CONTACT_GetMobileTel: +49301234567\r\n";
    for (auto _ : state) {
        OutputDebugStringW(line.c_str());
    }
}
BENCHMARK(BM_TraceLineToTheDeviceLog);

} // namespace

BENCHMARK_MAIN();
