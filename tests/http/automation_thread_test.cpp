// The web request's automation set-up must leave the calling thread as it
// found it, whatever apartment the thread was already in.
#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "http/web_request.h"
#include "mini_http_server.h"

namespace qr::http {
namespace {

std::string ClosedUrl() { return "http://127.0.0.1:" + std::to_string(testing::ClosedLoopbackPort()) + "/x"; }

TEST(AutomationThread, FreshThreadIsLeftUninitialised) {
  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    WebRequest(ClosedUrl());
    // Had the request left its single-threaded apartment behind, this would be refused.
    afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterwards)) CoUninitialize();
  }).join();
  EXPECT_EQ(afterwards, S_OK);
}

TEST(AutomationThread, CallersMultithreadedApartmentSurvives) {
  HRESULT again = E_FAIL;
  std::thread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    WebRequest(ClosedUrl());
    // Still initialised by the caller: a second initialisation only counts up.
    again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(again)) CoUninitialize();
    CoUninitialize();
  }).join();
  EXPECT_EQ(again, S_FALSE);
}

TEST(AutomationThread, CallersSingleThreadedApartmentSurvives) {
  HRESULT again = E_FAIL;
  std::thread([&] {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    WebRequest(ClosedUrl());
    again = CoInitialize(nullptr);
    if (SUCCEEDED(again)) CoUninitialize();
    CoUninitialize();
  }).join();
  EXPECT_EQ(again, S_FALSE);
}

}  // namespace
}  // namespace qr::http
