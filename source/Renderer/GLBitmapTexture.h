#pragma once

#include <GL/gl.h>

#include "General/WeakRef.h"
#include "Renderer/BitmapTexture.h"
#include "Renderer/OpenGLRenderer.h"

// A bitmap texture that owns one OpenGL texture object of its renderer.
class GLBitmapTexture : public BitmapTexture {
  HC_CLASS_HEADER(GLBitmapTexture)
 public:
  GLBitmapTexture();
  ~GLBitmapTexture() override;

  eAppErr Activate() override;
  eAppErr Deactivate() override;
  eAppErr GetFullCoordRange(KsPointF* out) override;
  bool GetCanUseExactSize(const KsSize<int32_t>& size) override;
  bool GetCanAllocate(const KsSize<int32_t>& size) override;
  KsPointF TexelToTextureCoord(const KsPointF& texel) override;
  eAppErr PrepareUpload(uint32_t rowBytes) override;
  eAppErr UploadRect(const void* base, uint32_t rowBytes, const KsPoint<int32_t>& source,
                     const KsRect<int32_t>& destination) override;
  eAppErr CreateTexture(const KsRef<HcTexture>& previous) override;

  eAppErr SetRenderer(const KsRef<OpenGLRenderer>& renderer);
  KsRef<OpenGLRenderer> GetRenderer() const;
  GLuint GetTextureName() const { return m_name; }
  GLenum GetTarget() const { return m_target; }
  GLenum GetFormat() const { return m_upload.format; }
  GLenum GetType() const { return m_upload.type; }

 protected:
  void EndUpload() override;

 private:
  bool SameShape(const GLBitmapTexture& other) const;
  void AllocateTexture();

  WeakRef::Ref m_renderer;
  GLuint m_name = 0;
  GLenum m_target = 0;
  GlTexUpload m_upload;
  GLint m_rowLength = 0;
};
HC_CLASS_OBJECT(GLBitmapTexture, BitmapTexture)
