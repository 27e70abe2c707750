// SPDX-License-Identifier: MIT
#include "desktop/SoundPlayer.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <mutex>

#ifdef ZELK_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace zelk {
namespace {

std::uint32_t ReadLe32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

#ifdef ZELK_HAVE_CANBERRA
// The end of one playback, reported by libcanberra on a thread of its own.
struct Completion {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  int error = CA_SUCCESS;
};

void OnFinished(ca_context*, std::uint32_t, int error, void* userdata) {
  auto* completion = static_cast<Completion*>(userdata);
  std::lock_guard<std::mutex> lock(completion->mutex);
  completion->finished = true;
  completion->error = error;
  completion->done.notify_all();
}

// Plays the sound that the property names and waits for its end, at most limit.
bool PlaySync(const char* property, const char* value, std::chrono::milliseconds limit) {
  ca_context* context = nullptr;
  if (ca_context_create(&context) != CA_SUCCESS) return false;
  ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Zelk", nullptr);
  bool played = false;
  ca_proplist* properties = nullptr;
  if (ca_context_open(context) == CA_SUCCESS && ca_proplist_create(&properties) == CA_SUCCESS) {
    ca_proplist_sets(properties, property, value);
    ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
    Completion completion;
    if (ca_context_play_full(context, 1, properties, OnFinished, &completion) == CA_SUCCESS) {
      std::unique_lock<std::mutex> lock(completion.mutex);
      if (completion.done.wait_for(lock, limit, [&] { return completion.finished; })) {
        played = completion.error == CA_SUCCESS;
      } else {
        lock.unlock();
        ca_context_cancel(context, 1);
        played = true;  // it has been sounding for as long as it lasts
      }
    }
    // Destroying the context waits for its threads, so completion outlives every callback.
    ca_context_destroy(context);
    context = nullptr;
    ca_proplist_destroy(properties);
  }
  if (context != nullptr) ca_context_destroy(context);
  return played;
}
#endif

}  // namespace

std::optional<std::chrono::milliseconds> WaveDuration(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  unsigned char header[12];
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return std::nullopt;
  if (std::string(reinterpret_cast<char*>(header), 4) != "RIFF" ||
      std::string(reinterpret_cast<char*>(header) + 8, 4) != "WAVE") {
    return std::nullopt;
  }
  std::uint32_t byteRate = 0;
  // Walks the chunks up to the data chunk; "fmt " comes before it.
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char chunk[8];
    if (!in.read(reinterpret_cast<char*>(chunk), sizeof chunk)) return std::nullopt;
    const std::string id(reinterpret_cast<char*>(chunk), 4);
    const std::uint32_t size = ReadLe32(chunk + 4);
    if (id == "fmt ") {
      unsigned char format[16];
      if (size < sizeof format || !in.read(reinterpret_cast<char*>(format), sizeof format)) {
        return std::nullopt;
      }
      byteRate = ReadLe32(format + 8);
      in.seekg(static_cast<std::streamoff>(size - sizeof format + (size & 1)), std::ios::cur);
    } else if (id == "data") {
      if (byteRate == 0) return std::nullopt;
      return std::chrono::milliseconds(static_cast<std::uint64_t>(size) * 1000 / byteRate);
    } else {
      in.seekg(static_cast<std::streamoff>(size + (size & 1)), std::ios::cur);
    }
    if (!in) return std::nullopt;
  }
  return std::nullopt;
}

bool PlayWaveFileSync(const std::string& hostPath) {
#ifdef ZELK_HAVE_CANBERRA
  const auto duration = WaveDuration(hostPath);
  if (!duration) return false;
  // A little time for the sound system to start, and a wave file of at most a minute.
  const auto limit =
      std::min(*duration, std::chrono::milliseconds(60000)) + std::chrono::milliseconds(1500);
  return PlaySync(CA_PROP_MEDIA_FILENAME, hostPath.c_str(), limit);
#else
  (void)hostPath;
  return false;
#endif
}

bool PlaySoundEventSync(const char* eventId) {
#ifdef ZELK_HAVE_CANBERRA
  return PlaySync(CA_PROP_EVENT_ID, eventId, std::chrono::milliseconds(5000));
#else
  (void)eventId;
  return false;
#endif
}

}  // namespace zelk
