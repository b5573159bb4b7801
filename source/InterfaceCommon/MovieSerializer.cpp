#include "InterfaceCommon/MovieSerializer.h"

#include <cctype>
#include <memory>
#include <new>
#include <utility>

#include "General/KsStringCollection.h"
#include "InterfaceCommon/SourceDescriptionCollection.h"
#include "KsTrace.h"
#include "QuickTime/MovieLayerErr.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "Source/QTMovieSource.h"
#include "Source/QTMovieTrackSource.h"
#include "Time/HcClock.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/Chameleon.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/ParseFunctions.h"
#include "Utilities/Parser.h"
#include "Utilities/StdErrParseReporter.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/AtomContainer.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/playback/Movie.h"

using hc::movfile::MovErr;
using hc::movfile::MovFile;
using hc::movfile::MovFourCC;
using hc::movfile::MovTrack;
using hc::movfile::MovUserData;

namespace {

constexpr const char* kPlanarProjection =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
    "<Projection xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"PlanarProjection\">\n"
    "  <Name>Planar</Name>\n"
    "</Projection>\n";
constexpr const char* kOpticProjection =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
    "<Projection xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"KestrelProj\">\n"
    "  <Name>Kestrel Optic</Name>\n"
    "  <Aspect>1</Aspect>\n"
    "  <CenterX>0.5</CenterX>\n"
    "  <CenterY>0.5</CenterY>\n"
    "  <RadiusV>0.5</RadiusV>\n"
    "</Projection>\n";
constexpr const char* kSphericalProjection =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
    "<Projection xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"EquirectangularProj\">\n"
    "  <Name>Spherical</Name>\n"
    "  <TiltMinDeg>-90.0</TiltMinDeg>\n"
    "  <TiltMaxDeg>90.0</TiltMaxDeg>\n"
    "</Projection>\n";
constexpr const char* kCylindricalProjection =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
    "<Projection xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"CylindricalProj\">\n"
    "  <Name>Cylindrical</Name>\n"
    "</Projection>\n";

// The presentation's own settings that the movie item holds; its sources
// travel in the tracks.
constexpr const char* kPresentationItemProperties[] = {
    "LoadHcML",    "InitialViewHcML", "ViewTweensHcML", "ViewsetName", "ViewsetHcML",
    "UUIDString",  "DisplaySize",     "OpenFullScreen", "HideControls",
};

bool IsEmpty(const PWStringRef& text) { return text.IsNull() || text.Str().empty(); }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

eAppErr Flatten(const hc::movfile::AtomContainer& container, std::vector<uint8_t>* bytes) {
  return AppErrFromMovErr(container.Flatten(bytes));
}

}  // namespace

MovieSerializer::MovieSerializer() = default;

MovieSerializer::~MovieSerializer() = default;

const char* MovieSerializer::PlanarProjectionHcML() { return kPlanarProjection; }

const char* MovieSerializer::ProjectionHcMLForAspect(float aspect) {
  if (aspect <= 1.778f) return kOpticProjection;
  if (aspect > 2.0 - 1e-5 && aspect < 2.0 + 1e-5) return kSphericalProjection;
  return kCylindricalProjection;
}

eAppErr MovieSerializer::SetDataCompressorType(uint32_t subtype) {
  DidChangeCaller change(this, kDataCompressorTypeId);
  m_dataCompressorType = subtype;
  return AppErr::kNoErr;
}

eAppErr MovieSerializer::SetGuessPanoProjection(bool guess) {
  DidChangeCaller change(this, kGuessPanoProjectionId);
  m_guessPanoProjection = guess;
  return AppErr::kNoErr;
}

eAppErr MovieSerializer::SetLoadAsSingleSource(bool single) {
  DidChangeCaller change(this, kLoadAsSingleSourceId);
  m_loadAsSingleSource = single;
  return AppErr::kNoErr;
}

KsRef<HcPresentation> MovieSerializer::GetPresentation() {
  if (!m_presentation) m_presentation = KsMakeRef<HcPresentation>();
  return m_presentation;
}

eAppErr MovieSerializer::SetPresentation(const KsRef<HcPresentation>& presentation) {
  DidChangeCaller change(this, kPresentationId);
  m_presentation = presentation;
  return AppErr::kNoErr;
}

// --- reading -------------------------------------------------------------------

eAppErr MovieSerializer::SetInitDescriptionFromMovie(bool read) {
  if (!read) return AppErr::kNoErr;
  const eAppErr err = ReadInitDescription();
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "SetInitDescriptionFromMovie") : err;
}

eAppErr MovieSerializer::ReadInitDescription() {
  bool foundData = false;
  const eAppErr err = DoInitDescriptionFromMovie(&foundData);
  if (AppErrFailed(err)) return err;
  if (foundData) return AppErr::kNoErr;
  // Nothing stored: the presentation holds the sources with a guessed (or
  // the planar) projection.
  return m_guessPanoProjection ? kPresentationGuessed : kNoPresentation;
}

eAppErr MovieSerializer::DoInitDescriptionFromMovie(bool* foundData) {
  if (!foundData) return KS_TRACE_ERR(AppErr::kBadArgument, "DoInitDescriptionFromMovie");
  *foundData = false;
  bool opened = false;
  if (!HoldsMovie()) {
    const eAppErr err = OpenMovieForRead();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoInitDescriptionFromMovie");
    opened = true;
  }
  eAppErr err = AppErr::kNoErr;
  {
    // Every object made from what the movie carries reads files only beside
    // the movie and from the resource folders, now and later.
    FileAccessPolicy::Scope untrusted(UntrustedFileAccess());
    err = InitDescFromNewStyleMovie(foundData);
    if (err == AppErr::kNoErr && !*foundData) err = GuessProjection();
    // Nothing stored and no picture to show: no presentation results.
    if (err == AppErr::kNoErr && !*foundData && GetPresentation()->GetSourceList()->GetCount() == 0) {
      err = KS_TRACE_ERR(kNoPresentation, "DoInitDescriptionFromMovie");
    }
  }
  if (opened) {
    CloseMovie();
    ForgetLiveObjects();
  }
  return err;
}

// The sources and clock made over a movie that is gone would reach it: the
// sources let go of its arbiter (a track source keeps its track number, which
// says where its description is written back), the clock goes.
void MovieSerializer::ForgetLiveObjects() {
  KsRef<HcPresentation> presentation = GetPresentation();
  const KsRef<SourceDescriptionCollection> sources = presentation->GetSourceList();
  for (uint32_t i = 0; i < sources->GetCount(); ++i) {
    KsRef<SourceDescription> description;
    if (sources->GetByIndex(i, &description) != AppErr::kNoErr || !description) continue;
    if (const auto source = description->GetLiveSource().DynamicCast<QTMovieSource>()) {
      source->QTMovieSource::SetMovieArb(nullptr);
    }
  }
  presentation->SetLiveClock(nullptr);
}

eAppErr MovieSerializer::VisualTracks(std::vector<VisualTrack>* tracks, const MovUserData** movieUserData) {
  static const MovUserData kNoUserData;
  *movieUserData = &kNoUserData;
  MovFile* file = nullptr;
  eAppErr err = GetMovieFile(&file);
  if (err == AppErr::kBadArgument) {
    // A movie that isn't a local file: its tracks as the player sees them, no user data.
    if (const hc::playback::Movie* movie = GetMovie()) {
      for (const hc::playback::MovieTrackInfo& info : movie->Tracks()) {
        if (info.visual) tracks->push_back({info.trackId, info.handlerType, info.cleanWidth, info.cleanHeight, nullptr});
      }
    }
    return AppErr::kNoErr;
  }
  if (AppErrFailed(err)) return err;
  err = AppErrFromMovErr(file->LoadTrackFacts());
  if (AppErrFailed(err)) return err;
  for (size_t i = 0; i < file->TrackCount(); ++i) {
    const MovTrack& track = file->Track(i);
    if (!track.HasVisualCharacteristic()) continue;
    const hc::movfile::MovFixedSize aperture = track.CleanAperture();
    tracks->push_back({track.TrackId(), track.HandlerType(), aperture.Width(), aperture.Height(), &track});
  }
  *movieUserData = &file->UserData();
  return AppErr::kNoErr;
}

eAppErr MovieSerializer::InitDescFromNewStyleMovie(bool* foundData) {
  if (!foundData) return KS_TRACE_ERR(AppErr::kBadArgument, "InitDescFromNewStyleMovie");
  *foundData = false;
  m_mainSourceStored = false;
  // The sources share the playing movie through an arbiter that doesn't own
  // it; its token is held while they are made.
  KsRef<QTMovieArbiter> arbiter;
  KsRef<QTMovieToken> token;
  if (hc::playback::Movie* movie = GetMovie()) {
    arbiter = KsMakeRef<QTMovieArbiter>();
    arbiter->SetQuickTimeMovie(movie);
    arbiter->SetOwnMovie(false);
    token = arbiter->WaitForToken(-1);
  }
  std::vector<VisualTrack> tracks;
  const MovUserData* movieUserData = nullptr;
  eAppErr err = VisualTracks(&tracks, &movieUserData);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "InitDescFromNewStyleMovie");

  KsRef<KsObject> clock;
  if (m_loadAsSingleSource || MovieHasSpecialVisualTracks()) {
    LoadOneSource(tracks, arbiter, &clock);
  } else {
    LoadSourcePerTrack(tracks, arbiter, &clock);
  }
  KsRef<HcPresentation> presentation = GetPresentation();
  if (presentation->GetSourceList()->GetCount() == 0) KS_TRACE(KsTrace::kWarning, "No sources loaded for movie!");
  if (const KsRef<HcClock> liveClock = clock.DynamicCast<HcClock>()) presentation->SetLiveClock(liveClock);

  std::unique_ptr<hc::foundation::ByteHandle> item;
  if (ReadCompressedUserDataItem(*movieUserData, kPresentationUserDataType, &item) != AppErr::kNoErr) {
    return AppErr::kNoErr;
  }
  *foundData = true;
  if (!LoadHcMLFromHandle(*item, PWStringRef())) return KS_TRACE_ERR(kNoPresentation, "InitDescFromNewStyleMovie");
  return AppErr::kNoErr;
}

void MovieSerializer::LoadOneSource(const std::vector<VisualTrack>& tracks, const KsRef<QTMovieArbiter>& arbiter,
                                    KsRef<KsObject>* clock) {
  if (tracks.empty()) return;
  auto source = KsMakeRef<QTMovieSource>();
  if (arbiter) source->SetMovieArb(arbiter);
  KsRef<SourceDescription> description = LoadSourceDescriptionFromTrack(tracks.front().fileTrack);
  description->SetLiveSource(source);
  GetPresentation()->GetSourceList()->Add(description);
  *clock = source->GetClock();
}

void MovieSerializer::LoadSourcePerTrack(const std::vector<VisualTrack>& tracks,
                                         const KsRef<QTMovieArbiter>& arbiter, KsRef<KsObject>* clock) {
  for (const VisualTrack& track : tracks) {
    if (track.handlerType == MovFourCC("text") || track.handlerType == MovFourCC("tmcd")) continue;
    auto source = KsMakeRef<QTMovieTrackSource>();
    source->SetTrackID(track.trackId);
    if (arbiter) source->SetMovieArb(arbiter);
    KsRef<SourceDescription> description = LoadSourceDescriptionFromTrack(track.fileTrack);
    description->SetLiveSource(source);
    description->SetInitSourceFromHcML(true);
    GetPresentation()->GetSourceList()->Add(description);
    if (!*clock) *clock = source->GetClock();
  }
}

KsRef<SourceDescription> MovieSerializer::LoadSourceDescriptionFromTrack(const MovTrack* track) {
  auto description = KsMakeRef<SourceDescription>();
  std::unique_ptr<hc::foundation::ByteHandle> item;
  const bool isMain = GetPresentation()->GetSourceList()->GetCount() == 0;
  if (!track || !track->UserData().IsPresent() ||
      ReadCompressedUserDataItem(track->UserData(), kSourceDescriptionUserDataType, &item) != AppErr::kNoErr) {
    KS_TRACE(KsTrace::kVerbose, "No track user data found for track 0x%p", static_cast<const void*>(track));
    description->SetProjectionHcML(PWStringRef(kPlanarProjection));
    return description;
  }
  if (isMain) m_mainSourceStored = true;
  // The stored root reference "hc://Presentation.MainSource" resolves, through
  // two holders that answer any name, to the new description.
  auto inner = KsMakeRef<Chameleon>();
  inner->SetPropValue(description);
  auto outer = KsMakeRef<Chameleon>();
  outer->SetPropValue(inner);
  auto resolver = KsMakeRef<HcPathResolver>();
  resolver->SetRootObject(outer);
  StdErrParseReporter reporter;
  KsRef<Parser> parser;
  MakeParser(parser, PWStringRef("AtomLexer"), &reporter, inner, resolver);
  eAppErr err = parser ? AppErr::kNoErr : AppErr::kNotReady;
  if (parser) {
    parser->RestrictFileAccess(UntrustedFileAccess());
    err = parser->Parse(item->View().data(), item->View().size());
  }
  if (err != AppErr::kNoErr) KS_TRACE(KsTrace::kWarning, "err=%i parsing track atoms", static_cast<int>(err));
  return description;
}

bool MovieSerializer::MovieHasSpecialVisualTracks() {
  MovFile* file = nullptr;
  uint32_t handlerType = 0;
  if (GetMovieFile(&file) == AppErr::kNoErr) {
    if (file->LoadTrackFacts() != MovErr::Ok) return false;
    const MovTrack* first = nullptr;
    for (size_t i = 0; i < file->TrackCount() && !first; ++i) {
      if (file->Track(i).HasVisualCharacteristic()) first = &file->Track(i);
    }
    if (!first) return false;
    handlerType = first->HandlerType();
  } else if (const hc::playback::Movie* movie = GetMovie()) {
    hc::playback::MovieTrackInfo info;
    if (!movie->FirstVisualTrack(false, &info)) return false;
    handlerType = info.handlerType;
  } else {
    return false;
  }
  for (uint32_t plain : {MovFourCC("vide"), MovFourCC("MPEG"), MovFourCC("qtz "), MovFourCC("text"), MovFourCC("tmcd")}) {
    if (handlerType == plain) return false;
  }
  return true;
}

eAppErr MovieSerializer::GuessProjection() {
  std::vector<VisualTrack> tracks;
  const MovUserData* movieUserData = nullptr;
  if (AppErrFailed(VisualTracks(&tracks, &movieUserData)) || tracks.empty()) {
    KS_TRACE(KsTrace::kWarning, "No video track found");
    return AppErr::kNoErr;
  }
  // A description the movie stored keeps its own projection.
  if (m_mainSourceStored) return AppErr::kNoErr;
  const VisualTrack& track = tracks.front();
  const float aspect = track.cleanHeight > 0.0 ? static_cast<float>(track.cleanWidth / track.cleanHeight) : 0.0f;
  const char* projection = kPlanarProjection;
  if (m_guessPanoProjection) {
    KS_TRACE(KsTrace::kVerbose, "MovieSerializer: Guessing projection for aspect ratio %f", static_cast<double>(aspect));
    projection = ProjectionHcMLForAspect(aspect);
  }
  KsRef<SourceDescription> main = GetPresentation()->GetMainSource();
  if (main) main->SetProjectionHcML(PWStringRef(projection));
  return AppErr::kNoErr;
}

// --- writing -------------------------------------------------------------------

eAppErr MovieSerializer::InitUUIDForPresentationAndSourceDesc() {
  if (!m_presentation) return KS_TRACE_ERR(AppErr::kNotReady, "InitUUIDForPresentationAndSourceDesc");
  KsRef<SourceDescription> main = m_presentation->GetMainSource();
  if (!main) return KS_TRACE_ERR(AppErr::kNotReady, "InitUUIDForPresentationAndSourceDesc");
  if (!m_presentation->HasUUID()) m_presentation->AssignUUID();
  return main->SetUUID(m_presentation->UUID());
}

eAppErr MovieSerializer::SetInitMovieFromDescription(bool write) {
  if (!write) return AppErr::kNoErr;
  const eAppErr err = WriteInitDescription();
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "SetInitMovieFromDescription") : err;
}

eAppErr MovieSerializer::CheckUUIDsArePaired() {
  KsRef<HcPresentation> presentation = GetPresentation();
  KsRef<SourceDescription> main = presentation->GetMainSource();
  PWStringRef presentationUUID;
  PWStringRef mainUUID;
  // An object without a UUID answers -902: no UUID to pair.
  eAppErr err = presentation->GetUUIDString(&presentationUUID);
  if (AppErrFailed(err) && err != AppErr::kNoValue) return err;
  err = main ? main->GetUUIDString(&mainUUID) : AppErr::kNotReady;
  if (AppErrFailed(err) && err != AppErr::kNoValue) return err;
  if (IsEmpty(presentationUUID) || IsEmpty(mainUUID) || !EqualIgnoringCase(presentationUUID.Str(), mainUUID.Str())) {
    KS_TRACE(KsTrace::kError, "UUIDs must be set and identical (SourceDesc and Presentation)!");
    return AppErr::kNotReady;
  }
  return AppErr::kNoErr;
}

eAppErr MovieSerializer::TargetTrackOf(const KsRef<SourceDescription>& description, MovFile& file, MovTrack** track) {
  *track = nullptr;
  if (const auto trackSource = description->GetLiveSource().DynamicCast<QTMovieTrackSource>()) {
    *track = file.FindTrackById(trackSource->GetTrackID());
  } else {
    for (size_t i = 0; i < file.TrackCount() && !*track; ++i) {
      if (file.Track(i).HasVisualCharacteristic()) *track = &file.Track(i);
    }
  }
  return *track ? AppErr::kNoErr : AppErr::kBadArgument;
}

eAppErr MovieSerializer::EmitSourceDescription(const KsRef<SourceDescription>& description,
                                               std::vector<uint8_t>* bytes) {
  hc::movfile::AtomContainer container;
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(&container);
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetContextObject(KsRef<KsObject>(this));
  writer->SetExtendByReference(true);
  writer->SetTargetObject(description);
  writer->SetRootElementName(PWStringRef("MainSource"));
  writer->SetRootObjectHREF(PWStringRef("hc://Presentation.MainSource"));
  eAppErr err = writer->WriteObject();
  emitter->SetAtomContainer(nullptr);
  if (err == AppErr::kNoErr) err = Flatten(container, bytes);
  return err;
}

eAppErr MovieSerializer::EmitPresentation(std::vector<uint8_t>* bytes) {
  auto filter = KsMakeRef<KsStringCollection>();
  for (const char* name : kPresentationItemProperties) filter->Add(PWStringRef(name));
  const std::unique_ptr<hc::movfile::AtomContainer> container =
      GetAtomContainerAtPath(PWStringRef("hc://Presentation"), true, filter, true);
  if (!container) return AppErr::kGeneral;
  return Flatten(*container, bytes);
}

eAppErr MovieSerializer::WriteInitDescription() {
  if (!HoldsMovie()) {
    const eAppErr err = OpenMovieForWrite();
    if (AppErrFailed(err)) return err;
  }
  MovFile* file = GetDataHandler();
  if (!file) return AppErr::kNotReady;
  eAppErr err = CheckUUIDsArePaired();
  if (AppErrFailed(err)) return err;
  err = AppErrFromMovErr(file->LoadTrackFacts());
  if (AppErrFailed(err)) return err;

  // Everything is made before anything is written: a missing track or a
  // graph that can't be written changes nothing.
  struct Pending {
    MovTrack* track;
    std::vector<uint8_t> bytes;
  };
  std::vector<Pending> pending;
  const KsRef<SourceDescriptionCollection> sources = GetPresentation()->GetSourceList();
  for (uint32_t i = 0; i < sources->GetCount(); ++i) {
    KsRef<SourceDescription> description;
    sources->GetByIndex(i, &description);
    if (!description) continue;
    MovTrack* track = nullptr;
    err = TargetTrackOf(description, *file, &track);
    if (AppErrFailed(err)) return err;
    // A track holds one description: the first that belongs there.
    bool taken = false;
    for (const Pending& p : pending) taken = taken || p.track == track;
    if (taken) {
      KS_TRACE(KsTrace::kWarning, "Source description %u has no track of its own; not stored", i);
      continue;
    }
    Pending entry{track, {}};
    err = EmitSourceDescription(description, &entry.bytes);
    if (AppErrFailed(err)) return err;
    pending.push_back(std::move(entry));
  }
  std::vector<uint8_t> presentation;
  err = EmitPresentation(&presentation);
  if (AppErrFailed(err)) return err;

  for (const Pending& entry : pending) {
    err = WriteCompressedUserDataItem(true, entry.bytes, entry.track->UserData(), m_dataCompressorType,
                                      kSourceDescriptionUserDataType);
    if (AppErrFailed(err)) return err;
    entry.track->UserData().RemoveItems(kSignatureUserDataType);
  }
  err = WriteCompressedUserDataItem(true, presentation, file->UserData(), m_dataCompressorType,
                                    kPresentationUserDataType);
  if (AppErrFailed(err)) return err;
  return SaveMovie();
}

eAppErr MovieSerializer::StoreSourceDescriptionToTrack(MovTrack* track, const KsRef<SourceDescription>& description) {
  if (!track) return KS_TRACE_ERR(AppErr::kBadArgument, "StoreSourceDescriptionToTrack");
  std::vector<uint8_t> bytes;
  if (description) {
    const eAppErr err = EmitSourceDescription(description, &bytes);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "StoreSourceDescriptionToTrack");
  }
  MovUserData& userData = track->UserData();
  userData.RemoveItems(kSignatureUserDataType);
  if (!description) {
    userData.RemoveItems(kSourceDescriptionUserDataType);
    return AppErr::kNoErr;
  }
  const eAppErr err =
      WriteCompressedUserDataItem(true, bytes, userData, m_dataCompressorType, kSourceDescriptionUserDataType);
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "StoreSourceDescriptionToTrack") : err;
}

eAppErr MovieSerializer::UpdateMovieUserDataFromPresentation() {
  MovFile* file = nullptr;
  eAppErr err = GetMovieFile(&file);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateMovieUserDataFromPresentation");
  std::vector<uint8_t> bytes;
  err = EmitPresentation(&bytes);
  if (!AppErrFailed(err)) {
    err = WriteCompressedUserDataItem(true, bytes, file->UserData(), m_dataCompressorType, kPresentationUserDataType);
  }
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "UpdateMovieUserDataFromPresentation") : err;
}
