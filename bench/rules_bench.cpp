// The pure interception rules on long URLs and long type lists: each rule
// is one pass over its text, so the cost per call should grow linearly.
// Each benchmark reports its bytes per second at every size and Google
// Benchmark's least-squares fit of the times to c*N with the fit's RMS
// error: a flat throughput and a small RMS are what linear cost looks like.
#include <benchmark/benchmark.h>

#include <string>

#include "interception/navigation_decision.h"
#include "settings/contact_points.h"
#include "support/fake_download_services.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"
#include "url/type_list.h"
#include "url/url_names.h"

namespace {

using namespace vrpph;

// "http://host/aaaa/aaaa/.../name.ext", `size` bytes in all.
std::string LongUrl(std::size_t size, const std::string& tail) {
  std::string url = "http://host/";
  while (url.size() + tail.size() < size) url += (url.size() % 64 == 0) ? '/' : 'a';
  return url + tail;
}

// `entries` extensions "E0, E1, ...", none of them "ZIP".
std::string LongList(std::size_t entries) {
  std::string list;
  for (std::size_t i = 0; i < entries; ++i) list += "E" + std::to_string(i) + ", ";
  return list;
}

// N is the size of the input in bytes or list entries.
void Linear(benchmark::State& state) {
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

const testing::FakeText& Text() {
  static const testing::FakeText text;
  return text;
}

void BM_UrlExtension(benchmark::State& state) {
  const std::string url = LongUrl(static_cast<std::size_t>(state.range(0)), "photo.jpg");
  for (auto _ : state) benchmark::DoNotOptimize(UrlExtension(url));
  Linear(state);
}

void BM_UrlFileNameAndHost(benchmark::State& state) {
  const std::string url = LongUrl(static_cast<std::size_t>(state.range(0)), "photo.jpg");
  for (auto _ : state) {
    benchmark::DoNotOptimize(UrlFileName(url));
    benchmark::DoNotOptimize(UrlHost(url, 50));
  }
  Linear(state);
}

void BM_EmbeddedFileNameLongUrl(benchmark::State& state) {
  const std::string url = LongUrl(static_cast<std::size_t>(state.range(0)), "QVREDIR.ASP?f=tool.zip");
  const std::optional<std::string> list = "EXE, MSI, ZIP, ";
  for (auto _ : state) benchmark::DoNotOptimize(EmbeddedFileName(url, list, Text()));
  Linear(state);
}

void BM_EmbeddedFileNameLongList(benchmark::State& state) {
  const std::string url = "http://host/QVREDIR.ASP?f=tool.zip";
  const std::optional<std::string> list = LongList(static_cast<std::size_t>(state.range(0))) + "ZIP, ";
  for (auto _ : state) benchmark::DoNotOptimize(EmbeddedFileName(url, list, Text()));
  Linear(state);
}

// Both at once: a redirect page of N bytes against N bytes of entries, none
// of which occurs. One search per entry would cost N squared.
void BM_EmbeddedFileNameLongUrlAndList(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::string url = LongUrl(n, "QVREDIR.ASP?f=tool");
  std::string entries = LongList(n / 6);
  const std::optional<std::string> list = entries.substr(0, n);
  for (auto _ : state) benchmark::DoNotOptimize(EmbeddedFileName(url, list, Text()));
  Linear(state);
}

void BM_ListContains(benchmark::State& state) {
  const std::string list = LongList(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ListContains(list, "ZIP"));
  Linear(state);
}

void BM_ListRemove(benchmark::State& state) {
  const std::string list = LongList(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ListRemove(list, "E1"));
  Linear(state);
}

// The whole decision on the fake platform, declining a long image URL
// against a long accepted list.
void BM_DeclineOnFakePlatform(benchmark::State& state) {
  testing::FakePlatform world;
  testing::FakeDownloadServices services;
  const auto n = static_cast<std::size_t>(state.range(0));
  testing::SetString(world.registry, platform::root::CurrentUser, keys::Main, values::AcceptingTypes,
                     LongList(n / 4));
  const std::string url = LongUrl(n, "photo.jpg");
  const std::u16string wide(url.begin(), url.end());
  const NavigationRequest request{wide.c_str(), RequestVerb::Get, {}, 0};
  for (auto _ : state) benchmark::DoNotOptimize(DecideNavigation(request, world.platform, services));
  Linear(state);
}

constexpr std::int64_t kSmall = 1 << 10;
constexpr std::int64_t kLarge = 1 << 20;

BENCHMARK(BM_UrlExtension)->RangeMultiplier(4)->Range(kSmall, kLarge)->Complexity(benchmark::oN);
BENCHMARK(BM_UrlFileNameAndHost)->RangeMultiplier(4)->Range(kSmall, kLarge)->Complexity(benchmark::oN);
BENCHMARK(BM_EmbeddedFileNameLongUrl)->RangeMultiplier(4)->Range(kSmall, kLarge)->Complexity(benchmark::oN);
BENCHMARK(BM_EmbeddedFileNameLongList)->RangeMultiplier(4)->Range(16, 1 << 16)->Complexity(benchmark::oN);
BENCHMARK(BM_EmbeddedFileNameLongUrlAndList)->RangeMultiplier(4)->Range(kSmall, kLarge)->Complexity(benchmark::oN);
BENCHMARK(BM_ListContains)->RangeMultiplier(4)->Range(16, 1 << 16)->Complexity(benchmark::oN);
BENCHMARK(BM_ListRemove)->RangeMultiplier(4)->Range(16, 1 << 16)->Complexity(benchmark::oN);
BENCHMARK(BM_DeclineOnFakePlatform)->RangeMultiplier(4)->Range(kSmall, kLarge)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
