#include "TestAuthority.h"

#include <fstream>
#include <vector>

#include "SecurityTestSupport.h"

namespace fs = std::filesystem;

Authority::Authority(const ScratchFolder& scratch, const std::string& name) : m_folder(scratch.Path() / name) {
  fs::create_directory(m_folder);
  m_config = m_folder / "ca.cnf";
  std::ofstream(m_config) << "[ca]\ndefault_ca = this_ca\n"
                             "[this_ca]\ndir = " << m_folder.string() << "\n"
                             "database = $dir/index.txt\nnew_certs_dir = $dir\nserial = $dir/serial\n"
                             "crlnumber = $dir/crlnumber\ncertificate = $dir/cert.pem\n"
                             "private_key = $dir/key.pem\ndefault_md = sha256\ndefault_days = 365\n"
                             "default_crl_days = 30\npolicy = any_name\nunique_subject = no\n"
                             "[any_name]\ncommonName = supplied\n"
                             "[req]\ndistinguished_name = dn\n[dn]\n"
                             "[authority]\nbasicConstraints = critical, CA:TRUE\n"
                             "keyUsage = critical, keyCertSign, cRLSign\nsubjectKeyIdentifier = hash\n"
                             "authorityKeyIdentifier = keyid:always\n"
                             "[holder]\nbasicConstraints = CA:FALSE\nkeyUsage = digitalSignature\n"
                             "subjectKeyIdentifier = hash\nauthorityKeyIdentifier = keyid\n";
  std::ofstream(m_folder / "index.txt");
  std::ofstream(m_folder / "serial") << "1000\n";
  std::ofstream(m_folder / "crlnumber") << "01\n";
}

void Authority::MakeRoot() {
  NewKey("key.pem");
  OpenSSLCommand({"req", "-config", m_config.string(), "-new", "-x509", "-key", Path("key.pem"), "-subj",
                  "/CN=" + Name(), "-days", "365", "-extensions", "authority", "-out", Path("cert.pem")});
}

fs::path Authority::Issue(const std::string& name, Authority* below, const std::string& start,
                          const std::string& end) {
  const std::string keyFile = below ? below->Path("key.pem") : Path(name + ".key");
  if (below) below->NewKey("key.pem");
  else NewKey(name + ".key");
  OpenSSLCommand({"req", "-config", m_config.string(), "-new", "-key", keyFile, "-subj", "/CN=" + name, "-out",
                  Path(name + ".csr")});
  const std::string out = below ? below->Path("cert.pem") : Path(name + ".pem");
  std::vector<std::string> arguments = {"ca", "-config", m_config.string(), "-batch", "-notext", "-in",
                                        Path(name + ".csr"), "-extensions", below ? "authority" : "holder",
                                        "-out", out};
  if (!start.empty()) arguments.insert(arguments.end(), {"-startdate", start, "-enddate", end});
  OpenSSLCommand(arguments);
  return out;
}

void Authority::Revoke(const fs::path& certificate) {
  OpenSSLCommand({"ca", "-config", m_config.string(), "-revoke", certificate.string()});
}

fs::path Authority::RevocationList() {
  OpenSSLCommand({"ca", "-config", m_config.string(), "-gencrl", "-out", Path("crl.pem")});
  return Path("crl.pem");
}

void Authority::NewKey(const std::string& name) {
  OpenSSLCommand({"genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", Path(name)});
}
