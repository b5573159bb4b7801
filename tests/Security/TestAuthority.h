#pragma once

#include <filesystem>
#include <string>

#include "ToolRunner.h"

// A certificate authority of its own folder, kept by the openssl command:
// a root, the authorities and holders it issues, revocations and their list.
// Keys are EC (P-256).
class Authority {
 public:
  Authority(const ScratchFolder& scratch, const std::string& name);

  // A self-signed root.
  void MakeRoot();
  // A certificate this authority issues, for an authority below it when
  // below is given; with a start and end date ("YYYYMMDDHHMMSSZ") when given.
  // The holder's key is KeyOf(name).
  std::filesystem::path Issue(const std::string& name, Authority* below = nullptr, const std::string& start = "",
                              const std::string& end = "");
  void Revoke(const std::filesystem::path& certificate);
  std::filesystem::path RevocationList();

  std::filesystem::path Certificate() const { return m_folder / "cert.pem"; }
  // The private key of a holder this authority issued a certificate to.
  std::filesystem::path KeyOf(const std::string& name) const { return m_folder / (name + ".key"); }

 private:
  std::string Name() const { return m_folder.filename().string(); }
  std::string Path(const std::string& name) const { return (m_folder / name).string(); }
  void NewKey(const std::string& name);

  std::filesystem::path m_folder;
  std::filesystem::path m_config;
};
