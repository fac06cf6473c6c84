#include "http/connection_cache_posix.h"

#include <array>
#include <atomic>
#include <mutex>

namespace qr::http {
namespace {

std::atomic<bool> sharingOn{true};

// One mutex per kind of shared data, as libcurl asks.
std::array<std::mutex, CURL_LOCK_DATA_LAST>& ShareMutexes() {
  static std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes;
  return mutexes;
}

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
  ShareMutexes()[static_cast<std::size_t>(data)].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void*) { ShareMutexes()[static_cast<std::size_t>(data)].unlock(); }

CURLSH* MakeShare() {
  EnsureCurlReady();
  CURLSH* share = curl_share_init();
  if (!share) return nullptr;
  curl_share_setopt(share, CURLSHOPT_LOCKFUNC, LockShare);
  curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, UnlockShare);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  return share;
}

}  // namespace

void EnsureCurlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)ready;
}

void UseSharedConnectionCache(CURL* easy) {
  // Made on first use and kept for the life of the process: handles on other
  // threads may still hold it while static objects are torn down.
  static CURLSH* const share = MakeShare();
  if (share && sharingOn.load(std::memory_order_relaxed)) curl_easy_setopt(easy, CURLOPT_SHARE, share);
}

void SetConnectionCacheSharing(bool on) { sharingOn.store(on, std::memory_order_relaxed); }

}  // namespace qr::http
