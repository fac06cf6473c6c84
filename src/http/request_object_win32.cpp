// The request object of the Windows build: the system's HTTP automation
// object, created by its programmatic identifier and driven by name through
// IDispatch. Texts cross as UTF-16 converted from and to code page 936.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "http/header_rules.h"
#include "http/request_object.h"
#include "runtime/codepage.h"

namespace qr::http {
namespace {

constexpr wchar_t kProgId[] = L"WinHttp.WinHttpRequest.5.1";

// A VARIANT that clears itself.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static Variant Text(const std::string& gbk) {
    Variant v;
    const std::u16string wide = codepage::GbkToUtf16(gbk);
    v.value_.vt = VT_BSTR;
    v.value_.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
    return v;
  }
  static Variant Number(long number) {
    Variant v;
    v.value_.vt = VT_I4;
    v.value_.lVal = number;
    return v;
  }
  static Variant Flag(bool flag) {
    Variant v;
    v.value_.vt = VT_BOOL;
    v.value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
  }
  // A one-dimensional array of bytes, as the object takes a binary body.
  static Variant Bytes(const std::string& bytes) {
    Variant v;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) return v;
    void* data = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
      if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
      SafeArrayUnaccessData(array);
    }
    v.value_.vt = VT_ARRAY | VT_UI1;
    v.value_.parray = array;
    return v;
  }

  Variant(Variant&& other) noexcept {
    value_ = other.value_;
    VariantInit(&other.value_);
  }

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_;
};

// Some implementations count the terminating zero into the text's length; it is not part of the text.
std::string ToGbk(BSTR text) {
  if (!text) return {};
  std::u16string_view wide(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
  wide = wide.substr(0, wide.find(u'\0'));
  return codepage::Utf16ToGbk(wide);
}

std::string ArrayBytes(SAFEARRAY* array) {
  if (!array || SafeArrayGetDim(array) != 1) return {};
  LONG lower = 0;
  LONG upper = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper))) return {};
  if (upper < lower) return {};
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return {};
  std::string bytes(static_cast<const char*>(data), static_cast<std::size_t>(upper - lower + 1));
  SafeArrayUnaccessData(array);
  return bytes;
}

class AutomationRequestObject final : public RequestObject {
 public:
  explicit AutomationRequestObject(IDispatch* dispatch) : dispatch_(dispatch) {}
  ~AutomationRequestObject() override { dispatch_->Release(); }
  AutomationRequestObject(const AutomationRequestObject&) = delete;
  AutomationRequestObject& operator=(const AutomationRequestObject&) = delete;

  bool SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    return CallMethod(L"SetTimeouts", Args(Variant::Number(resolveMs), Variant::Number(connectMs),
                                           Variant::Number(sendMs), Variant::Number(receiveMs)));
  }
  bool SetProxy(int proxySetting, const std::string& proxy) override {
    return CallMethod(L"SetProxy", Args(Variant::Number(proxySetting), Variant::Text(proxy)));
  }
  bool Open(const std::string& verb, const std::string& url, bool async) override {
    return CallMethod(L"Open", Args(Variant::Text(verb), Variant::Text(url), Variant::Flag(async)));
  }
  bool SetOptionFlag(int option, bool value) override { return PutOption(option, Variant::Flag(value)); }
  bool SetOptionNumber(int option, long value) override { return PutOption(option, Variant::Number(value)); }
  bool SetCredentials(const std::string& user, const std::string& password, int target) override {
    return CallMethod(L"SetCredentials", Args(Variant::Text(user), Variant::Text(password), Variant::Number(target)));
  }
  bool SetRequestHeader(const std::string& name, const std::string& value) override {
    if (!IsSendableHeader(name, value)) return false;
    return CallMethod(L"SetRequestHeader", Args(Variant::Text(name), Variant::Text(value)));
  }
  bool SendText(const std::string& body) override { return CallMethod(L"Send", Args(Variant::Text(body))); }
  bool SendBytes(const std::string& body) override { return CallMethod(L"Send", Args(Variant::Bytes(body))); }

  std::string ResponseBody() override {
    Variant result;
    if (!Invoke(L"ResponseBody", DISPATCH_PROPERTYGET, {}, false, result.get())) return {};
    if ((*result).vt != (VT_ARRAY | VT_UI1)) return {};
    return ArrayBytes((*result).parray);
  }
  std::string GetAllResponseHeaders() override {
    Variant result;
    if (!Invoke(L"GetAllResponseHeaders", DISPATCH_METHOD, {}, false, result.get())) return {};
    if (FAILED(VariantChangeType(result.get(), result.get(), 0, VT_BSTR))) return {};
    return ToGbk((*result).bstrVal);
  }
  int Status() override {
    Variant result;
    if (!Invoke(L"Status", DISPATCH_PROPERTYGET, {}, false, result.get())) return 0;
    if (FAILED(VariantChangeType(result.get(), result.get(), 0, VT_I4))) return 0;
    return static_cast<int>((*result).lVal);
  }

 private:
  template <typename... Values>
  static std::vector<Variant> Args(Values&&... values) {
    std::vector<Variant> args;
    args.reserve(sizeof...(values));
    (args.push_back(std::move(values)), ...);
    return args;
  }

  bool CallMethod(const wchar_t* name, std::vector<Variant> args) {
    Variant ignored;
    return Invoke(name, DISPATCH_METHOD, std::move(args), false, ignored.get());
  }

  // Option(index) = value: a property put whose last argument is the value.
  bool PutOption(int option, Variant value) {
    return Invoke(L"Option", DISPATCH_PROPERTYPUT, Args(Variant::Number(option), std::move(value)), true, nullptr);
  }

  // `args` in the order the method declares them; IDispatch wants them reversed.
  bool Invoke(const wchar_t* name, WORD kind, std::vector<Variant> args, bool propertyPut, VARIANT* result) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (propertyPut) {
      params.rgdispidNamedArgs = &putId;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr =
        dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &exception, &badArgument);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(hr);
  }

  IDispatch* dispatch_;
};

class AutomationRequestPlatform final : public RequestPlatform {
 public:
  // A thread already in the multithreaded apartment refuses; it can still use
  // the object, but must not then uninitialise what it did not initialise.
  bool InitializeThread() override { return SUCCEEDED(CoInitialize(nullptr)); }
  void UninitializeThread() override { CoUninitialize(); }

  std::shared_ptr<RequestObject> CreateRequestObject() override {
    CLSID classId{};
    if (FAILED(CLSIDFromProgID(kProgId, &classId))) return nullptr;
    IDispatch* dispatch = nullptr;
    if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch))) ||
        !dispatch) {
      return nullptr;
    }
    return std::make_shared<AutomationRequestObject>(dispatch);
  }
};

}  // namespace

RequestPlatform& SystemRequestPlatform() {
  static AutomationRequestPlatform platform;
  return platform;
}

}  // namespace qr::http
