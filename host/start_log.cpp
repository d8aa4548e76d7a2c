#include "start_log.h"

namespace browser_host {

void StartLog::Add(const wchar_t* url, HRESULT result, IInternetProtocolSink* sink) {
  Entry entry;
  entry.answer.url = url ? url : L"";
  entry.answer.result = result;
  if (sink) {
    sink->AddRef();
    entry.sink.reset(sink);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(std::move(entry));
}

std::size_t StartLog::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

std::optional<StartLog::Answer> StartLog::At(std::size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= entries_.size()) return std::nullopt;
  return entries_[index].answer;
}

ComRef<IInternetProtocolSink> StartLog::TakeSink(std::size_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= entries_.size()) return {};
  return std::move(entries_[index].sink);
}

}  // namespace browser_host
