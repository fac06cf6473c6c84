// A throw-away TLS identity for loopback servers: a fresh P-256 key and a
// self-signed certificate for a name that matches nothing, written as PEM
// files into a temporary folder that is removed with the object.
#pragma once

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace qr::http::testing {

class SelfSignedCertificate {
 public:
  SelfSignedCertificate() {
    static std::atomic<int> counter{0};
    folder_ = std::filesystem::temp_directory_path() /
              ("quillreel-tls-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder_);
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("quillreel.invalid"),
                               -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    X509_sign(certificate, key, EVP_sha256());
    Write(KeyPath(), [&](FILE* file) { PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr); });
    Write(CertificatePath(), [&](FILE* file) { PEM_write_X509(file, certificate); });
    X509_free(certificate);
    EVP_PKEY_free(key);
  }
  ~SelfSignedCertificate() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  SelfSignedCertificate(const SelfSignedCertificate&) = delete;
  SelfSignedCertificate& operator=(const SelfSignedCertificate&) = delete;

  std::string KeyPath() const { return (folder_ / "key.pem").string(); }
  std::string CertificatePath() const { return (folder_ / "certificate.pem").string(); }

 private:
  template <typename WriteFunction>
  static void Write(const std::string& path, WriteFunction write) {
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
      write(file);
      std::fclose(file);
    }
  }

  std::filesystem::path folder_;
};

}  // namespace qr::http::testing
