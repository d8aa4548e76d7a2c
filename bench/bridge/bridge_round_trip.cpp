// One request at a time over one long-lived port, as a browser's extension
// sends them: the time from writing a request to reading its final answer,
// after a warm-up. A host that says protocol 2 in hello gets each request's
// go as soon as its pending is read, as the extension sends it. Runs on
// Linux against the launcher (tools/bench-bridge).
//
//   bridge_round_trip LAUNCHER COUNT declined|taken
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Frame(const std::string& payload) {
  const auto n = static_cast<std::uint32_t>(payload.size());
  std::string frame{static_cast<char>(n & 0xFF), static_cast<char>(n >> 8 & 0xFF), static_cast<char>(n >> 16 & 0xFF),
                    static_cast<char>(n >> 24 & 0xFF)};
  return frame + payload;
}

bool ReadExactly(int fd, char* buffer, std::size_t size) {
  while (size > 0) {
    const ssize_t got = read(fd, buffer, size);
    if (got <= 0) return false;
    buffer += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool ReadAnswer(int fd, std::string& answer) {
  unsigned char header[4];
  if (!ReadExactly(fd, reinterpret_cast<char*>(header), 4)) return false;
  const std::uint32_t n = header[0] | header[1] << 8 | header[2] << 16 | static_cast<std::uint32_t>(header[3]) << 24;
  if (n > 1024 * 1024) return false;
  answer.assign(n, '\0');
  return ReadExactly(fd, answer.data(), n);
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const ssize_t put = write(fd, bytes.data() + at, bytes.size() - at);
    if (put <= 0) return false;
    at += static_cast<std::size_t>(put);
  }
  return true;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bridge_round_trip LAUNCHER COUNT declined|taken\n");
    return 2;
  }
  const int count = std::stoi(argv[2]);
  const bool taken = std::string(argv[3]) == "taken";
  int toHost[2], fromHost[2];
  if (pipe(toHost) != 0 || pipe(fromHost) != 0) return 1;
  const pid_t host = fork();
  if (host == 0) {
    dup2(toHost[0], 0);
    dup2(fromHost[1], 1);
    close(toHost[1]);
    close(fromHost[0]);
    execl(argv[1], argv[1], "bench", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(toHost[0]);
  close(fromHost[1]);
  signal(SIGPIPE, SIG_IGN);

  constexpr int kWarmUp = 50;
  std::vector<double> times;
  std::string answer;
  int wrong = 0;
  if (!WriteAll(toHost[1], Frame(R"({"id":"h","type":"hello"})")) || !ReadAnswer(fromHost[0], answer)) {
    std::fprintf(stderr, "bridge_round_trip: no hello from the host\n");
    return 1;
  }
  const bool confirms = answer.find(R"("protocol":)") != std::string::npos &&
                        answer.find(R"("protocol":1,)") == std::string::npos;
  for (int i = 0; i < kWarmUp + count; ++i) {
    const std::string id = "r" + std::to_string(i);
    const std::string request =
        taken ? R"({"id":")" + id + R"(","type":"download","url":"https://dl.example.com/get?id=)" + std::to_string(i) +
                    R"(","filename":"tool-)" + std::to_string(i) + R"(.zip","tabUrl":"https://dl.example.com/"})"
              : R"({"id":")" + id + R"(","type":"download","url":"https://cdn.example.com/img/photo_)" +
                    std::to_string(i) + R"(.jpg","filename":"photo.jpg","tabUrl":"https://example.com/gallery"})";
    const auto start = std::chrono::steady_clock::now();
    const bool pending = WriteAll(toHost[1], Frame(request)) && ReadAnswer(fromHost[0], answer);
    const bool confirmed = pending && (!confirms || WriteAll(toHost[1], Frame(R"({"id":")" + id + R"(","type":"go"})")));
    if (!confirmed || !ReadAnswer(fromHost[0], answer)) {
      std::fprintf(stderr, "bridge_round_trip: the host stopped answering at request %d\n", i);
      return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const std::string expected = taken ? R"("state":"taken"})" : R"("reason":"not-accepted"})";
    if (answer.find(expected) == std::string::npos) ++wrong;
    if (i >= kWarmUp) times.push_back(ms);
  }
  close(toHost[1]);
  int status = 0;
  waitpid(host, &status, 0);
  std::printf("%-9s median %.3f ms, 90th percentile %.3f ms, best %.3f ms over %d requests%s%s\n", argv[3],
              Percentile(times, 0.5), Percentile(times, 0.9), Percentile(times, 0.0), count,
              confirms ? ", each confirmed with go" : "",
              wrong ? (" (" + std::to_string(wrong) + " answered otherwise)").c_str() : "");
  return wrong ? 1 : 0;
}
