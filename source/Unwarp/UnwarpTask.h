#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Projection/PanoProjection.h"
#include "Source/PanoSource.h"
#include "Unwarp/OutputBuffer.h"

class BufferSource;
class CartesianFuncProj;
class Sampler;

// Turns one frame of a panoramic source into a flat picture on the
// processor: every pixel of the output buffer shows the direction that the
// output projection gives it, sampled from the source image where the source
// projection places that direction, or the background where nothing is to be
// seen. Runs to the end on the caller's thread.
class UnwarpTask : public KsObject {
  HC_CLASS_HEADER(UnwarpTask)
 public:
  enum : int32_t {
    kSourceId = 200,
    kSourceProjectionId = 201,
    kOutputId = 202,
    kOutputProjectionId = 203,
    kOutputWidthId = 204,
    kOutputHeightId = 205,
    kWidthMultipleId = 206,
    kHeightMultipleId = 207,
    kAreaScaleId = 208,
  };

  UnwarpTask();
  ~UnwarpTask() override;

  // Unwarps the Source into the Output: -602 without either, -202 without
  // either projection (neither traced, nothing changed); -2 when the Source
  // is not a buffer of a format that can be sampled, or the Output already
  // has another format (nothing changed); a failure to make the Output's
  // buffer. An Output without a size gets one derived from the source's
  // picture area. Afterwards the Output holds the picture, the Source's
  // pixel format and a copy of the output projection.
  eAppErr Unwarp();

  KsRef<PanoSource> GetSource() const { return m_source; }
  eAppErr SetSource(const KsRef<PanoSource>& source);
  KsRef<PanoProjection> GetSourceProjection() const { return m_sourceProjection; }
  eAppErr SetSourceProjection(const KsRef<PanoProjection>& projection);
  KsRef<OutputBuffer> GetOutput() const { return m_output; }
  eAppErr SetOutput(const KsRef<OutputBuffer>& output);
  KsRef<PanoProjection> GetOutputProjection() const { return m_outputProjection; }
  eAppErr SetOutputProjection(const KsRef<PanoProjection>& projection);
  int32_t GetOutputWidth() const { return m_outputWidth; }
  int32_t GetOutputHeight() const { return m_outputHeight; }
  float GetWidthMultiple() const { return m_widthMultiple; }
  eAppErr SetWidthMultiple(float multiple);
  float GetHeightMultiple() const { return m_heightMultiple; }
  eAppErr SetHeightMultiple(float multiple);
  float GetAreaScale() const { return m_areaScale; }
  eAppErr SetAreaScale(float scale);

 private:
  // Gives the Output the Source's format and its size; 0 or the failure.
  eAppErr PrepareOutput();
  // The size for an Output that has none, from the source's clean area.
  KsSize<int> DeriveOutputSize();
  // The Source as a buffer whose pixels a sampler can read; null otherwise.
  KsRef<BufferSource> SampledSource();
  // Whether the columns of the source image cover the whole circle of pan.
  bool SourceWrapsHorizontally();
  void RunGeneralPath(Sampler& sampler, PanoProjection& output, int x0, int x1, int y0, int y1);
  // Pan changes linearly along a row; false when the projection's pan
  // cannot be read that way (the general path then runs).
  bool RunCartesianPath(Sampler& sampler, CartesianFuncProj& output, int x0, int x1, int y0, int y1);

  KsRef<PanoSource> m_source;
  KsRef<PanoProjection> m_sourceProjection;
  KsRef<OutputBuffer> m_output;
  KsRef<PanoProjection> m_outputProjection;
  int32_t m_outputWidth = 0;
  int32_t m_outputHeight = 0;
  float m_widthMultiple = 1.0f;
  float m_heightMultiple = 1.0f;
  float m_areaScale = 1.0f;
};
HC_CLASS_OBJECT(UnwarpTask, KsObject)
