#pragma once

#include <cstdint>
#include <vector>

#include "General/KsClassMacros.h"
#include "InterfaceCommon/CompressedUserDataItem.h"
#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/MovieModifier.h"
#include "InterfaceCommon/SourceDescription.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "QuickTime/QTMovieArbiter.h"


// Reads a movie's presentation from its user data and writes it back: the
// presentation's own settings as the movie item 'Hcpr', one source
// description per visual track as that track's item 'Hcsd' (see
// CompressedUserDataItem.h).
//
// Reading (InitDescriptionFromMovie) fills Presentation with one description
// per visual track (or one for the whole movie), each with a live source
// over the movie, then loads the stored presentation into it. What a movie
// carries is untrusted: everything read from it, and every file its graphs
// name, is read only inside the movie's folder and the resource folders. A
// movie with nothing stored still yields a presentation: its main source
// gets the planar projection or, with GuessPanoProjection, one chosen from
// the first video track's aspect ratio (see ProjectionHcMLForAspect). A read
// that opens the movie itself (from Path or URL) closes it again and leaves
// the descriptions' sources without the movie (and the presentation without
// its clock): only a movie handed in with SetMovie, which outlives the
// presentation, gives sources to show.
//
// Writing (InitMovieFromDescription) needs the movie's data handler (opened
// for update from Path when no movie is held) and a presentation paired with
// its main description by one UUID. Every target and every item is made
// before the first is written, and the movie is saved crash-safe once all
// are in: a write that fails changes nothing on disk.
class MovieSerializer : public MovieModifier {
  HC_CLASS_HEADER(MovieSerializer)
 public:
  enum : int32_t {
    kDataCompressorTypeId = 400,
    kInitDescriptionFromMovieId = 401,
    kInitMovieFromDescriptionId = 402,
    kPresentationId = 403,
    kGuessPanoProjectionId = 404,
    kLoadAsSingleSourceId = 405,
  };
  // What reading answers when nothing was stored and a projection was guessed.
  static constexpr eAppErr kPresentationGuessed = 610;
  // What reading answers when the movie yields no presentation.
  static constexpr eAppErr kNoPresentation = -630;

  MovieSerializer();
  ~MovieSerializer() override;

  uint32_t GetDataCompressorType() const { return m_dataCompressorType; }
  eAppErr SetDataCompressorType(uint32_t subtype);
  bool GetGuessPanoProjection() const { return m_guessPanoProjection; }
  eAppErr SetGuessPanoProjection(bool guess);
  bool GetLoadAsSingleSource() const { return m_loadAsSingleSource; }
  eAppErr SetLoadAsSingleSource(bool single);
  // Made empty when none is held.
  KsRef<HcPresentation> GetPresentation();
  eAppErr SetPresentation(const KsRef<HcPresentation>& presentation);

  // Reads the presentation: 0 when one was stored; kPresentationGuessed when
  // none was and the projection was guessed; kNoPresentation when none was
  // and none was guessed, or the movie has no picture to show; another
  // error when the movie can't be read. A failure leaves what was read.
  eAppErr SetInitDescriptionFromMovie(bool read);
  // Writes the presentation into the movie and saves it.
  eAppErr SetInitMovieFromDescription(bool write);

  // The read behind InitDescriptionFromMovie: 0 with foundData telling
  // whether a presentation was stored; kNoPresentation when nothing was
  // stored and the movie has no picture to show.
  eAppErr DoInitDescriptionFromMovie(bool* foundData);
  eAppErr InitDescFromNewStyleMovie(bool* foundData);
  // A new description from the track's 'Hcsd' item; the planar projection
  // when the track (which may be null) has none.
  KsRef<SourceDescription> LoadSourceDescriptionFromTrack(const hc::movfile::MovTrack* track);
  // Gives the main description a projection when nothing was stored; 0.
  eAppErr GuessProjection();
  // Whether the first visual track's media is of a kind that is shown as one
  // source for the whole movie (anything but video, MPEG, text and time code).
  bool MovieHasSpecialVisualTracks();

  // Gives the presentation a UUID when it has none and its main description
  // the same one. -903 without a presentation or main description.
  eAppErr InitUUIDForPresentationAndSourceDesc();
  // Writes the description as the track's 'Hcsd' item (none: removes it).
  eAppErr StoreSourceDescriptionToTrack(hc::movfile::MovTrack* track, const KsRef<SourceDescription>& description);
  // Writes the presentation's settings as the movie's 'Hcpr' item.
  eAppErr UpdateMovieUserDataFromPresentation();

  // The projection HcML texts given when nothing is stored.
  static const char* PlanarProjectionHcML();
  // The projection guessed for a picture of the aspect ratio (width over
  // height): up to 1.778 the optic's ring, within 1e-5 of 2 spherical
  // (equirectangular), else cylindrical.
  static const char* ProjectionHcMLForAspect(float aspect);

  // Action properties read false.
  bool GetFalse() const { return false; }

 private:
  struct VisualTrack {
    uint32_t trackId = 0;
    uint32_t handlerType = 0;
    double cleanWidth = 0.0;
    double cleanHeight = 0.0;
    const hc::movfile::MovTrack* fileTrack = nullptr;  // null when the movie's file can't be read
  };
  eAppErr ReadInitDescription();
  void ForgetLiveObjects();
  eAppErr VisualTracks(std::vector<VisualTrack>* tracks, const hc::movfile::MovUserData** movieUserData);
  void LoadOneSource(const std::vector<VisualTrack>& tracks, const KsRef<QTMovieArbiter>& arbiter,
                     KsRef<KsObject>* clock);
  void LoadSourcePerTrack(const std::vector<VisualTrack>& tracks, const KsRef<QTMovieArbiter>& arbiter,
                          KsRef<KsObject>* clock);
  eAppErr WriteInitDescription();
  eAppErr CheckUUIDsArePaired();
  eAppErr EmitSourceDescription(const KsRef<SourceDescription>& description, std::vector<uint8_t>* bytes);
  eAppErr EmitPresentation(std::vector<uint8_t>* bytes);
  eAppErr TargetTrackOf(const KsRef<SourceDescription>& description, hc::movfile::MovFile& file,
                        hc::movfile::MovTrack** track);

  KsRef<HcPresentation> m_presentation;
  uint32_t m_dataCompressorType = kZlibDataCompressorType;
  bool m_guessPanoProjection = false;
  bool m_loadAsSingleSource = false;
  // Whether the main description came from an item the movie stored.
  bool m_mainSourceStored = false;
};
HC_CLASS_OBJECT(MovieSerializer, MovieModifier)
