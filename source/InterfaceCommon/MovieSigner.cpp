#include "InterfaceCommon/MovieSigner.h"

#include <memory>
#include <new>
#include <vector>

#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/MovieDigest.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "InterfaceCommon/MovieSignatureValidation.h"
#include "InterfaceCommon/SignatureUserDataItem.h"
#include "KsTrace.h"
#include "QuickTime/MovieLayerErr.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "Time/HcClock.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/ObjectWriter.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/AtomContainer.h"
#include "platform/movfile/MovFile.h"
#include "platform/playback/Movie.h"

using hc::movfile::MovErr;
using hc::movfile::MovFile;

namespace {

// A stored graph that doesn't load.
constexpr eAppErr kUnreadableItem = -630;

// Closes the movie an action opened itself, on every path out of it.
class OpenedMovie {
 public:
  explicit OpenedMovie(MovieModifier& modifier) : m_modifier(modifier) {}
  ~OpenedMovie() {
    if (m_opened) m_modifier.CloseMovie();
  }
  bool* Flag() { return &m_opened; }

 private:
  MovieModifier& m_modifier;
  bool m_opened = false;
};

// The signature's graph in atom-container form under the root element
// "Signature", self-contained: objects it shares with the signer (the user's
// certificate a request put in) are written out, not as references to the
// signer, so that any reader gets them back.
eAppErr EmitSignature(const KsRef<KsSignature>& signature, std::vector<uint8_t>* bytes) {
  hc::movfile::AtomContainer container;
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(&container);
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetRootElementName(PWStringRef("Signature"));
  writer->SetTargetObject(signature);
  eAppErr err = writer->WriteObject();
  emitter->SetAtomContainer(nullptr);
  if (err == AppErr::kNoErr) err = AppErrFromMovErr(container.Flatten(bytes));
  return err;
}

}  // namespace

MovieSigner::MovieSigner() = default;
MovieSigner::~MovieSigner() = default;

eAppErr MovieSigner::SetKnownPublicCertificates(const KsRef<KsPublicCertCollection>& certificates) {
  DidChangeCaller change(this, kKnownPublicCertificatesId);
  m_knownPublicCertificates = certificates;
  return AppErr::kNoErr;
}

eAppErr MovieSigner::SetSignature(const KsRef<KsSignature>& signature) {
  DidChangeCaller change(this, kSignatureId);
  m_signature = signature;
  return AppErr::kNoErr;
}

eAppErr MovieSigner::SetUserPrivateKey(const KsRef<KsPrivateKey>& key) {
  DidChangeCaller change(this, kUserPrivateKeyId);
  m_userPrivateKey = key;
  return AppErr::kNoErr;
}

eAppErr MovieSigner::SetUserPublicCert(const KsRef<KsPublicCert>& certificate) {
  DidChangeCaller change(this, kUserPublicCertId);
  m_userPublicCert = certificate;
  return AppErr::kNoErr;
}

eAppErr MovieSigner::OpenIfNeeded(Opening opening, bool* opened, const char* method) {
  *opened = false;
  if (HoldsMovie()) return AppErr::kNoErr;
  eAppErr err = AppErr::kNoErr;
  switch (opening) {
    case Opening::kForWrite:
      err = OpenMovieForWrite();
      break;
    case Opening::kForPlaying:
      err = OpenMovieForRead();
      break;
    case Opening::kFileOnly:
      // What the movie stores is all a local file needs; a URL is opened as a movie.
      err = GetDataRefMgr().GetSourceType() == DataRefMgr::kSourceTypePath ? OpenMovieFileForRead()
                                                                           : OpenMovieForRead();
      break;
  }
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, method);
  *opened = true;
  return AppErr::kNoErr;
}

eAppErr MovieSigner::GetMovieDigestBase64(PWStringRef* digest) {
  if (!HoldsMovie()) return KS_TRACE_ERR(AppErr::kNotReady, "GetMovieDigestBase64");
  if (!digest) return KS_TRACE_ERR(AppErr::kBadArgument, "GetMovieDigestBase64");
  MovFile* file = nullptr;
  const eAppErr err = GetMovieFile(&file);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetMovieDigestBase64");
  return ComputeMovieDigestBase64(file, digest);
}

// --- storing -----------------------------------------------------------------

eAppErr MovieSigner::SetInitMovieFromSignature(bool store) {
  if (!store) return AppErr::kNoErr;
  const eAppErr err = StoreSignature();
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "SetInitMovieFromSignature") : err;
}

eAppErr MovieSigner::StoreSignature() {
  if (!m_signature) return AppErr::kNotReady;
  // Made before the movie is touched: a signature that can't be written
  // stores nothing.
  std::vector<uint8_t> container;
  eAppErr err = EmitSignature(m_signature, &container);
  if (AppErrFailed(err)) return err;
  OpenedMovie opened(*this);
  err = OpenIfNeeded(Opening::kForWrite, opened.Flag(), "SetInitMovieFromSignature");
  if (AppErrFailed(err)) return err;
  if (MovFile* dataHandler = GetDataHandler()) {
    err = WriteSignatureUserDataItem(container, dataHandler->UserData());
    return AppErrFailed(err) ? err : SaveMovie();
  }
  // A movie held without its data handler (a playing movie handed in, or
  // its file opened for reading): the item is written into the movie's file
  // through a storage of its own, so that it is kept.
  const hc::playback::Movie* movie = GetMovie();
  const hc::playback::DataReference* reference = movie ? &movie->Reference() : GetDataRefMgr().GetDataRef();
  if (!reference || !reference->IsFile()) return AppErr::kBadArgument;
  MovFile storage;
  err = AppErrFromMovErr(storage.OpenForUpdate(reference->Text()));
  if (!AppErrFailed(err)) err = WriteSignatureUserDataItem(container, storage.UserData());
  if (!AppErrFailed(err)) err = AppErrFromMovErr(storage.Save());
  ForgetMovieFile();
  return err;
}

// --- reading -----------------------------------------------------------------

eAppErr MovieSigner::SetInitSignatureFromMovie(bool read) {
  if (!read) return AppErr::kNoErr;
  const eAppErr err = ReadSignature();
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "SetInitSignatureFromMovie") : err;
}

eAppErr MovieSigner::ReadSignature() {
  OpenedMovie opened(*this);
  eAppErr err = OpenIfNeeded(Opening::kFileOnly, opened.Flag(), "SetInitSignatureFromMovie");
  if (AppErrFailed(err)) return err;
  MovFile* file = nullptr;
  err = GetMovieFile(&file);
  if (AppErrFailed(err)) return err;
  std::unique_ptr<hc::foundation::ByteHandle> item;
  err = ReadSignatureUserDataItem(file->UserData(), &item);
  if (AppErrFailed(err)) return err;
  // Parsed into a holder of its own, so that a graph that doesn't load
  // leaves Signature as it was. What the movie carries is untrusted: the
  // presentation in it reads files only beside the movie and from the
  // resource folders.
  auto holder = KsMakeRef<MovieSigner>();
  {
    FileAccessPolicy::Scope untrusted(UntrustedFileAccess());
    if (!holder->LoadHcMLFromHandle(*item, PWStringRef()) || !holder->GetSignature()) return kUnreadableItem;
  }
  return SetSignature(holder->GetSignature());
}

// --- request -----------------------------------------------------------------

eAppErr MovieSigner::SetInitRequestFromMovie(bool request) {
  if (!request) return AppErr::kNoErr;
  const eAppErr err = MakeRequest();
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "SetInitRequestFromMovie") : err;
}

eAppErr MovieSigner::MakeRequest() {
  if (!m_userPublicCert || !m_userPrivateKey || !m_signature) return AppErr::kNotReady;
  // The request leaves a movie it opened held.
  bool opened = false;
  eAppErr err = OpenIfNeeded(Opening::kForPlaying, &opened, "SetInitRequestFromMovie");
  if (AppErrFailed(err)) return err;
  PWStringRef digest;
  err = GetMovieDigestBase64(&digest);
  if (AppErrFailed(err)) return err;
  if (digest.IsNull()) return AppErr::kGeneral;
  m_signature->SetDigestBase64(digest);
  err = ReadPresentationInto(m_signature);
  if (AppErrFailed(err)) return err;
  m_signature->SetUserPublicCert(m_userPublicCert);
  err = m_userPrivateKey->SetDataToSignBase64(digest);
  if (AppErrFailed(err)) return err;
  PWStringRef signature;
  err = m_userPrivateKey->GetSignatureBase64(&signature);
  if (AppErrFailed(err)) return err;
  if (signature.IsNull()) return AppErr::kGeneral;
  return m_signature->SetUserDigestSignatureBase64(signature);
}

// The presentation the movie carries, read by a serializer over the signer's
// movie into a new presentation with one source description.
eAppErr MovieSigner::ReadPresentationInto(const KsRef<KsSignature>& signature) {
  auto presentation = KsMakeRef<HcPresentation>();
  presentation->SetMainSource(KsMakeRef<SourceDescription>());
  auto serializer = KsMakeRef<MovieSerializer>();
  serializer->SetPresentation(presentation);
  serializer->SetResourceFolders(GetResourceFolders());
  serializer->SetMovie(GetMovie());
  serializer->SetDataHandler(GetDataHandler());
  const eAppErr err = serializer->SetInitDescriptionFromMovie(true);
  serializer->CloseMovie();
  if (AppErrFailed(err)) return err;
  // The signature keeps what the movie stores, not the live sources and
  // clock over a movie it doesn't hold.
  const KsRef<SourceDescriptionCollection> sources = presentation->GetSourceList();
  for (uint32_t i = 0; i < sources->GetCount(); ++i) {
    KsRef<SourceDescription> description;
    if (sources->GetByIndex(i, &description) == AppErr::kNoErr && description) description->SetLiveSource(nullptr);
  }
  presentation->SetLiveClock(nullptr);
  return signature->SetPresentation(presentation);
}

// --- validation --------------------------------------------------------------

eAppErr MovieSigner::GetIsSignatureValidForMovie(bool* valid) {
  if (!valid) return KS_TRACE_ERR(AppErr::kBadArgument, "GetIsSignatureValidForMovie");
  *valid = false;
  const eAppErr err = Validate(valid);
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "GetIsSignatureValidForMovie") : err;
}

eAppErr MovieSigner::Validate(bool* valid) {
  if (!m_signature || !m_knownPublicCertificates) return AppErr::kNotReady;
  OpenedMovie opened(*this);
  eAppErr err = OpenIfNeeded(Opening::kFileOnly, opened.Flag(), "GetIsSignatureValidForMovie");
  if (AppErrFailed(err)) return err;
  PWStringRef digest;
  err = GetMovieDigestBase64(&digest);
  if (AppErrFailed(err)) return err;
  KsRef<KsPublicCert> carried;
  err = ValidateSignatureAgainstDigest(digest, m_signature, m_knownPublicCertificates, &carried, valid);
  if (carried) SetUserPublicCert(carried);
  if (AppErrFailed(err)) return err;
  if (*valid && m_certificateStore && !UserCertificateIsTrusted()) {
    KS_TRACE(KsTrace::kWarning, "User certificate isn't trusted by the certificate store");
    *valid = false;
  }
  return AppErr::kNoErr;
}

bool MovieSigner::UserCertificateIsTrusted() {
  const auto certificate = m_signature->GetUserPublicCert().DynamicCast<PEMOpenSSLPublicCert>();
  return certificate && m_certificateStore->VerifyClientCert(certificate);
}
