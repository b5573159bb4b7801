#include "RegisterAllClasses.h"

#include "General/DoubleCollection.h"
#include "General/FloatCollection.h"
#include "General/HcClassMap.h"
#include "General/Int64Collection.h"
#include "General/IntCollection.h"
#include "General/KsData.h"
#include "General/KsDataCollection.h"
#include "General/KsObject.h"
#include "General/KsObjectCollectionBase.h"
#include "General/KsPropertyChangeDescription.h"
#include "General/KsSimpleCollectionBase.h"
#include "General/KsStringCollection.h"
#include "General/KsValueWrapper.h"
#include "General/ObjectCollection.h"
#include "General/PointFCollection.h"
#include "General/StringStringTuple.h"
#include "General/StringToStringLookupTable.h"
#include "General/StringTupleCollection.h"
#include "InterfaceCocoa/NSObjectProxy.h"
#include "InterfaceCommon/AggregateProgressReport.h"
#include "InterfaceCommon/GLPbufferContextMac.h"
#include "InterfaceCommon/HcPlaybackController.h"
#include "InterfaceCommon/HcPlayerPlaybackController.h"
#include "InterfaceCommon/HcViewHelper.h"
#include "InterfaceCommon/ProgressReport.h"
#include "InterfaceCommon/ProgressReportCollection.h"
#include "InterfaceCommon/MovieModifier.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "InterfaceCommon/MovieSigner.h"
#include "InterfaceCommon/StatusReport.h"
#include "InterfaceCommon/StatusReportCollection.h"
#include "InterfaceCommon/StringLocalizer.h"
#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/HcProjectHelper.h"
#include "InterfaceCommon/HcProjectSource.h"
#include "InterfaceCommon/HcProjectSourceCollection.h"
#include "InterfaceCommon/SourceDescription.h"
#include "InterfaceCommon/SourceDescriptionCollection.h"
#include "Projection/CartesianFuncProj.h"
#include "Projection/CubeFace.h"
#include "Projection/CubeFaceCollection.h"
#include "Projection/CubicProjection.h"
#include "Projection/CylindricalFunc.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelFunc.h"
#include "Projection/KestrelProj.h"
#include "Projection/LinearFunc.h"
#include "Projection/OneVarFunction.h"
#include "Projection/PanoProjection.h"
#include "Projection/PlanarProjection.h"
#include "Projection/PolynomialFunc.h"
#include "Projection/ProjectionAngleFunc.h"
#include "Projection/ProjectionCollection.h"
#include "Projection/RadialFuncProj.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "QuickTime/QTTimeBase.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Renderer/BitmapTexture.h"
#include "Renderer/BitmapTextureSet.h"
#include "Renderer/GLBitmapTexture.h"
#include "Renderer/GLVertexBuffer.h"
#include "Renderer/HcSharedGraphicsContext.h"
#include "Renderer/HcTexture.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/HcVertexBuffer.h"
#include "Renderer/OpenGLRenderer.h"
#include "Renderer/PanoRenderer.h"
#include "Renderer/PixelFormatArbiter.h"
#include "Renderer/QTVisualContextTexture.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "Renderer/SubsetTexture.h"
#include "Renderer/SubsetTextureSet.h"
#include "Security/KsDigester.h"
#include "Security/KsPrivateKey.h"
#include "Security/KsPublicCert.h"
#include "Security/KsPublicCertCollection.h"
#include "Security/KsSignature.h"
#include "Security/KsSignatureCollection.h"
#include "Security/OpenSSLDigester.h"
#include "Security/OpenSSLPrivateKey.h"
#include "Security/OpenSSLSHA256Digester.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "Security/X509CertificateStore.h"
#include "Source/BufferSource.h"
#include "Source/ImageWithDataSource.h"
#include "Source/MosaicSource.h"
#include "Source/MultiplexerSource.h"
#include "Source/PanoSource.h"
#include "Source/QTBufferSource.h"
#include "Source/QTMovieSource.h"
#include "Source/QTMovieTrackSource.h"
#include "Source/QTSequenceSource.h"
#include "Source/QTStillImageSource.h"
#include "Source/QTVisualContextSource.h"
#include "Source/SourceCollection.h"
#include "Unwarp/OutputBuffer.h"
#include "Unwarp/UnwarpTask.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/KsContextHelper.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "InputDevice/InputDevice.h"
#include "InputDevice/InterSenseInputDevice.h"
#include "Responder/HotspotPropertyResponder.h"
#include "Responder/KeyBinding.h"
#include "Responder/KeyboardBindingResponder.h"
#include "Responder/KeyboardResponderCollection.h"
#include "Responder/MouseForwardingResponder.h"
#include "Responder/MousePositionResponder.h"
#include "Responder/RadioButtonArray.h"
#include "Responder/VectorObjectMouseResponder.h"
#include "Responder/ViewsetSelectorResponder.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Responder/MouseResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "View/FrameSubViewCollection.h"
#include "View/FrameSubview.h"
#include "View/FrameView.h"
#include "View/HcTexturedView.h"
#include "View/HcView.h"
#include "View/LayoutRegion.h"
#include "View/LayoutRegionAbsolute.h"
#include "View/LayoutRegionCollection.h"
#include "View/LayoutRegionPercent.h"
#include "View/LayoutView.h"
#include "View/PanoView.h"
#include "View/CartesianProjectionView.h"
#include "View/FlatSourceView.h"
#include "View/PanTiltGridOverlay.h"
#include "View/CylinderGrid.h"
#include "View/CylinderView.h"
#include "View/CylinderViewOpenGL.h"
#include "View/SphereGrid.h"
#include "View/SphereView.h"
#include "View/SphereViewOpenGL.h"
#include "View/PanTiltGrid.h"
#include "View/PerspectiveGrid.h"
#include "View/PerspectiveView.h"
#include "View/PerspectiveViewOpenGL.h"
#include "View/ViewCollection.h"
#include "View/HcGlyph.h"
#include "View/HcGlyphButton.h"
#include "View/HcPolygons.h"
#include "View/HcTexViewer.h"
#include "View/HcVectorObject.h"
#include "View/RTFTextView.h"
#include "View/SourceDisplay.h"
#include "View/TextDisplay.h"
#include "View/VectorObjectCollection.h"
#include "View/VectorView.h"
#include "View/ViewOutliner.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/AtomLexer.h"
#include "Utilities/BinaryEmitter.h"
#include "Utilities/BinaryLexer.h"
#include "Time/ConditionalTween.h"
#include "Time/ConvergentTransition.h"
#include "Time/DoNothingTween.h"
#include "Time/FloatBindingTuple.h"
#include "Time/FloatBindingTupleCollection.h"
#include "Time/FloatSequenceTween.h"
#include "Time/FrequencyTracker.h"
#include "Time/HcAbsVelocityTween.h"
#include "Time/HcClock.h"
#include "Time/HcClockCollection.h"
#include "Time/HcFloatForwardingTween.h"
#include "Time/HcGoal.h"
#include "Time/HcGoalCollection.h"
#include "Time/HcLinearFloatTween.h"
#include "Time/HcManualClock.h"
#include "Time/HcMovieClock.h"
#include "Time/HcMovieTween.h"
#include "Time/HcMovieTweenLookMarker.h"
#include "Time/HcMovieTweenLookMarkerCollection.h"
#include "Time/HcPropertyTween.h"
#include "Time/HcSineFloatTween.h"
#include "Time/HcSmoothFloatTween.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTimeScale.h"
#include "Time/HcTimeScaleCollection.h"
#include "Time/HcTransition.h"
#include "Time/HcTween.h"
#include "Time/HcTweenCollection.h"
#include "Time/HcVelocityTween.h"
#include "Time/LookDirectionValue.h"
#include "Time/MultiTween.h"
#include "Time/ObjectValueRange.h"
#include "Time/ObjectValueRangeCollection.h"
#include "Time/ObjectValueRangeTween.h"
#include "Time/QTSystemClock.h"
#include "Time/RangeConditionalTween.h"
#include "Time/TweenEvaluator.h"
#include "Utilities/Chameleon.h"
#include "Utilities/Emitter.h"
#include "Utilities/FileManager.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDesc.h"
#include "Utilities/HcPropertyDescCollection.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "Utilities/KsObjectEmitter.h"
#include "Utilities/KsOperation.h"
#include "Utilities/KsOperationCollection.h"
#include "Utilities/KsOperationSequence.h"
#include "Utilities/Lexer.h"
#include "Utilities/LocalPathResolver.h"
#include "Utilities/ObjectReference.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/Parser.h"
#include "Utilities/PathResolver.h"
#include "Utilities/PropertyBindingCollection.h"
#include "Utilities/ProxyDescWriter.h"
#include "Utilities/ReferenceBase.h"
#include "Utilities/SchemaWriter.h"
#include "Utilities/XMLEmitter.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

using Accessor = KsRef<KsClassObject> (*)();

// Every class built so far, in alphabetical order of the class names.
constexpr Accessor kAccessors[] = {
    &AggregateProgressReport::ClassGetClassObject,
    &AppleOpenGLRenderer::ClassGetClassObject,
    &AtomEmitter::ClassGetClassObject,
    &AtomLexer::ClassGetClassObject,
    &BinaryEmitter::ClassGetClassObject,
    &BinaryLexer::ClassGetClassObject,
    &BitmapTexture::ClassGetClassObject,
    &BitmapTextureSet::ClassGetClassObject,
    &BufferSource::ClassGetClassObject,
    &ImageWithDataSource::ClassGetClassObject,
    &CartesianFuncProj::ClassGetClassObject,
    &CartesianProjectionView::ClassGetClassObject,
    &Chameleon::ClassGetClassObject,
    &ConditionalTween::ClassGetClassObject,
    &ConvergentTransition::ClassGetClassObject,
    &CubeFace::ClassGetClassObject,
    &CubeFaceCollection::ClassGetClassObject,
    &CubicProjection::ClassGetClassObject,
    &CylinderGrid::ClassGetClassObject,
    &CylinderView::ClassGetClassObject,
    &CylinderViewOpenGL::ClassGetClassObject,
    &CylindricalFunc::ClassGetClassObject,
    &CylindricalProj::ClassGetClassObject,
    &DoNothingTween::ClassGetClassObject,
    &DoubleCollection::ClassGetClassObject,
    &Emitter::ClassGetClassObject,
    &EquirectangularProj::ClassGetClassObject,
    &FileManager::ClassGetClassObject,
    &FlatSourceView::ClassGetClassObject,
    &FloatBindingTuple::ClassGetClassObject,
    &FloatBindingTupleCollection::ClassGetClassObject,
    &FloatCollection::ClassGetClassObject,
    &FrameSubview::ClassGetClassObject,
    &FrameSubViewCollection::ClassGetClassObject,
    &FrameView::ClassGetClassObject,
    &GLBitmapTexture::ClassGetClassObject,
    &GLPbufferContextMac::ClassGetClassObject,
    &GLVertexBuffer::ClassGetClassObject,
    &FloatSequenceTween::ClassGetClassObject,
    &FrequencyTracker::ClassGetClassObject,
    &HcAbsVelocityTween::ClassGetClassObject,
    &HcClock::ClassGetClassObject,
    &HcClockCollection::ClassGetClassObject,
    &HcContextHelper::ClassGetClassObject,
    &HcFloatForwardingTween::ClassGetClassObject,
    &HcGoal::ClassGetClassObject,
    &HcGoalCollection::ClassGetClassObject,
    &HcGlyph::ClassGetClassObject,
    &HcGlyphButton::ClassGetClassObject,
    &HcLinearFloatTween::ClassGetClassObject,
    &HcManualClock::ClassGetClassObject,
    &HcMLLoader::ClassGetClassObject,
    &HcMovieClock::ClassGetClassObject,
    &HcPlaybackController::ClassGetClassObject,
    &HcPlayerPlaybackController::ClassGetClassObject,
    &HcMovieTween::ClassGetClassObject,
    &HcMovieTweenLookMarker::ClassGetClassObject,
    &HcMovieTweenLookMarkerCollection::ClassGetClassObject,
    &HcPolygons::ClassGetClassObject,
    &HcPathResolver::ClassGetClassObject,
    &HcPropertyBinding::ClassGetClassObject,
    &HcPropertyBindingBase::ClassGetClassObject,
    &HcPropertyDesc::ClassGetClassObject,
    &HcPropertyDescCollection::ClassGetClassObject,
    &HcSharedGraphicsContext::ClassGetClassObject,
    &HcTexture::ClassGetClassObject,
    &HcTexturedView::ClassGetClassObject,
    &HcTexViewer::ClassGetClassObject,
    &HcTextureSet::ClassGetClassObject,
    &HcVertexBuffer::ClassGetClassObject,
    &HcPresentation::ClassGetClassObject,
    &HcProjectHelper::ClassGetClassObject,
    &HcProjectSource::ClassGetClassObject,
    &HcProjectSourceCollection::ClassGetClassObject,
    &HcPropertyTween::ClassGetClassObject,
    &HcSineFloatTween::ClassGetClassObject,
    &HcSmoothFloatTween::ClassGetClassObject,
    &HcStaticFloatTween::ClassGetClassObject,
    &HcTimeScale::ClassGetClassObject,
    &HcTimeScaleCollection::ClassGetClassObject,
    &HcTransition::ClassGetClassObject,
    &HcTween::ClassGetClassObject,
    &HcTweenCollection::ClassGetClassObject,
    &HcVelocityTween::ClassGetClassObject,
    &HcVectorObject::ClassGetClassObject,
    &HcView::ClassGetClassObject,
    &HcViewHelper::ClassGetClassObject,
    &HcWeakPropertyBinding::ClassGetClassObject,
    &Int64Collection::ClassGetClassObject,
    &IntCollection::ClassGetClassObject,
    &KestrelFunc::ClassGetClassObject,
    &KestrelProj::ClassGetClassObject,
    &InputDevice::ClassGetClassObject,
    &InterSenseInputDevice::ClassGetClassObject,
    &HotspotPropertyResponder::ClassGetClassObject,
    &KeyBinding::ClassGetClassObject,
    &KeyboardBindingResponder::ClassGetClassObject,
    &KeyboardResponderCollection::ClassGetClassObject,
    &MouseForwardingResponder::ClassGetClassObject,
    &MousePositionResponder::ClassGetClassObject,
    &RadioButtonArray::ClassGetClassObject,
    &VectorObjectMouseResponder::ClassGetClassObject,
    &ViewsetSelectorResponder::ClassGetClassObject,
    &KeyboardResponder::ClassGetClassObject,
    &KeyboardVelocityResponder::ClassGetClassObject,
    &KsContextHelper::ClassGetClassObject,
    &KsData::ClassGetClassObject,
    &KsDataCollection::ClassGetClassObject,
    &KsDigester::ClassGetClassObject,
    &KsObject::ClassGetClassObject,
    &KsObjectCollectionBase::ClassGetClassObject,
    &KsObjectEmitter::ClassGetClassObject,
    &KsOperation::ClassGetClassObject,
    &KsOperationCollection::ClassGetClassObject,
    &KsOperationSequence::ClassGetClassObject,
    &KsPrivateKey::ClassGetClassObject,
    &KsPropertyChangeDescription::ClassGetClassObject,
    &KsPublicCert::ClassGetClassObject,
    &KsPublicCertCollection::ClassGetClassObject,
    &KsSignature::ClassGetClassObject,
    &KsSignatureCollection::ClassGetClassObject,
    &KsSimpleCollectionBase::ClassGetClassObject,
    &KsStringCollection::ClassGetClassObject,
    &KsValueWrapper::ClassGetClassObject,
    &LayoutRegion::ClassGetClassObject,
    &LayoutRegionAbsolute::ClassGetClassObject,
    &LayoutRegionCollection::ClassGetClassObject,
    &LayoutRegionPercent::ClassGetClassObject,
    &LayoutView::ClassGetClassObject,
    &Lexer::ClassGetClassObject,
    &LinearFunc::ClassGetClassObject,
    &LocalPathResolver::ClassGetClassObject,
    &MosaicSource::ClassGetClassObject,
    &LookDirectionValue::ClassGetClassObject,
    &MouseIgnoreResponder::ClassGetClassObject,
    &MouseResponder::ClassGetClassObject,
    &MouseVelocityResponder::ClassGetClassObject,
    &MultiTween::ClassGetClassObject,
    &MultiplexerSource::ClassGetClassObject,
    &MovieModifier::ClassGetClassObject,
    &MovieSigner::ClassGetClassObject,
    &MovieSerializer::ClassGetClassObject,
    &NSObjectProxy::ClassGetClassObject,
    &ObjectCollection::ClassGetClassObject,
    &ObjectReference::ClassGetClassObject,
    &ObjectValueRange::ClassGetClassObject,
    &ObjectValueRangeCollection::ClassGetClassObject,
    &ObjectValueRangeTween::ClassGetClassObject,
    &ObjectWriter::ClassGetClassObject,
    &OneVarFunction::ClassGetClassObject,
    &OpenGLRenderer::ClassGetClassObject,
    &OpenSSLDigester::ClassGetClassObject,
    &OpenSSLPrivateKey::ClassGetClassObject,
    &OpenSSLSHA256Digester::ClassGetClassObject,
    &OutputBuffer::ClassGetClassObject,
    &PanoProjection::ClassGetClassObject,
    &PanoRenderer::ClassGetClassObject,
    &PanoSource::ClassGetClassObject,
    &PanoView::ClassGetClassObject,
    &PanTiltGrid::ClassGetClassObject,
    &PanTiltGridOverlay::ClassGetClassObject,
    &Parser::ClassGetClassObject,
    &PathResolver::ClassGetClassObject,
    &PEMOpenSSLPublicCert::ClassGetClassObject,
    &PerspectiveGrid::ClassGetClassObject,
    &PerspectiveView::ClassGetClassObject,
    &PerspectiveViewOpenGL::ClassGetClassObject,
    &PixelFormatArbiter::ClassGetClassObject,
    &PlanarProjection::ClassGetClassObject,
    &PointFCollection::ClassGetClassObject,
    &PolynomialFunc::ClassGetClassObject,
    &ProgressReport::ClassGetClassObject,
    &ProgressReportCollection::ClassGetClassObject,
    &ProjectionAngleFunc::ClassGetClassObject,
    &ProjectionCollection::ClassGetClassObject,
    &PropertyBindingCollection::ClassGetClassObject,
    &ProxyDescWriter::ClassGetClassObject,
    &QTBufferSource::ClassGetClassObject,
    &QTSystemClock::ClassGetClassObject,
    &QTMovieArbiter::ClassGetClassObject,
    &QTMovieSource::ClassGetClassObject,
    &QTMovieToken::ClassGetClassObject,
    &QTMovieTrackSource::ClassGetClassObject,
    &QTSequenceSource::ClassGetClassObject,
    &QTStillImageSource::ClassGetClassObject,
    &QTTimeBase::ClassGetClassObject,
    &QTVisualContextSource::ClassGetClassObject,
    &QTVisualContextTexture::ClassGetClassObject,
    &QTVisualContextTextureSet::ClassGetClassObject,
    &RadialFuncProj::ClassGetClassObject,
    &RangeConditionalTween::ClassGetClassObject,
    &ReferenceBase::ClassGetClassObject,
    &RTFTextView::ClassGetClassObject,
    &SchemaWriter::ClassGetClassObject,
    &SourceCollection::ClassGetClassObject,
    &SourceDescription::ClassGetClassObject,
    &SourceDescriptionCollection::ClassGetClassObject,
    &SourceDisplay::ClassGetClassObject,
    &SphereGrid::ClassGetClassObject,
    &SphereView::ClassGetClassObject,
    &SphereViewOpenGL::ClassGetClassObject,
    &StatusReport::ClassGetClassObject,
    &StatusReportCollection::ClassGetClassObject,
    &StringLocalizer::ClassGetClassObject,
    &StringStringTuple::ClassGetClassObject,
    &StringToStringLookupTable::ClassGetClassObject,
    &StringTupleCollection::ClassGetClassObject,
    &SubsetTexture::ClassGetClassObject,
    &SubsetTextureSet::ClassGetClassObject,
    &TextDisplay::ClassGetClassObject,
    &TweenEvaluator::ClassGetClassObject,
    &UnwarpTask::ClassGetClassObject,
    &VectorObjectCollection::ClassGetClassObject,
    &VectorView::ClassGetClassObject,
    &ViewCollection::ClassGetClassObject,
    &ViewOutliner::ClassGetClassObject,
    &Viewset::ClassGetClassObject,
    &ViewsetCollection::ClassGetClassObject,
    &X509CertificateStore::ClassGetClassObject,
    &XMLEmitter::ClassGetClassObject,
    &XMLLexer::ClassGetClassObject,
    &XMLStringEmitter::ClassGetClassObject,
};

}  // namespace

void RegisterAllClasses() {
  for (Accessor accessor : kAccessors) {
    KsRef<KsClassObject> classObject = accessor();
    HcClassMap::RegisterClassObject(classObject);
    // Property tables are built here, on one thread, before anybody looks.
    if (classObject) classObject->EnsurePropertiesSetUp();
  }
  // Viewset collections written under their implementation name read too.
  HcClassMap::RegisterAlias(PWStringRef("ViewsetCollection"), ViewsetCollection::ClassGetClassObject());
}
