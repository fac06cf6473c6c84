// The address a request goes out with, as the Windows request object sends it.
#pragma once

#include <string>
#include <string_view>

namespace qr::http {

// The code page 936 address as UTF-8, with every space, control character,
// non-ASCII byte and one of " < > [ \ ] ^ ` { | } in its path and query
// percent-encoded. Existing escapes and a lone "%" stay as they are; the
// scheme, host and port are left alone.
std::string RequestUrl(std::string_view address);

}  // namespace qr::http
