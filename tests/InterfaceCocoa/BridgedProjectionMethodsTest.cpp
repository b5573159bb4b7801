#include <gtest/gtest.h>

#include "BridgedMethodTable.h"
#include "Projection/CubicProjection.h"
#include "Projection/CylindricalFunc.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/LinearFunc.h"
#include "Projection/PolynomialFunc.h"
#include "platform/runtime/ClassRegistry.h"

using namespace bridged_test;

namespace {

V Point(float x, float y) { return V::MakePoint({x, y}); }
V Size(const KsSizeF& size) { return V::MakeSize({size.w, size.h}); }
V Out(float& slot) { return V::OutPointer(&slot); }

template <class P>
V Stateless(P&) {
  return V();
}

// The mapping and size selectors every projection answers.
template <class P>
std::vector<Case<P>> MappingCases() {
  return {
      {"getPointForAngleRadinPan:inTilt:outX:outY:",
       [](Outs& o) { return Args{V::Float(0.3f), V::Float(-0.2f), Out(o.f[0]), Out(o.f[1])}; },
       [](P& p, Outs& o) { return V::Bool(p.GetPointForAngleRad(0.3f, -0.2f, &o.f[0], &o.f[1])); }},
      // Missing out-pointers are never written through.
      {"getPointForAngleRadinPan:inTilt:outX:outY:",
       [](Outs&) { return Args{V::Float(0.3f), V::Float(-0.2f), V::Pointer(nullptr, 'f'), V::Pointer(nullptr, 'f')}; },
       [](P& p, Outs&) {
         float x, y;
         return V::Bool(p.GetPointForAngleRad(0.3f, -0.2f, &x, &y));
       }},
      {"getAngleRadForPointinX:inY:outPan:outTilt:",
       [](Outs& o) { return Args{V::Float(0.25f), V::Float(0.75f), Out(o.f[0]), Out(o.f[1])}; },
       [](P& p, Outs& o) { return V::Bool(p.GetAngleRadForPoint(0.25f, 0.75f, &o.f[0], &o.f[1])); }},
      {"getDimensionsForCleanAreaarea:", [](Outs&) { return Args{V::Float(80000)}; },
       [](P& p, Outs&) { return Size(p.GetDimensionsForCleanArea(80000)); }},
      {"getDimensionsForAngularResolutionPPDppd:", [](Outs&) { return Args{Point(8, 6)}; },
       [](P& p, Outs&) { return Size(p.GetDimensionsForAngularResolutionPPD({8, 6})); }},
  };
}

}  // namespace

TEST(BridgedProjectionMethodsTest, ProjectionSelectorsCallTheirOperations) {
  using P = CylindricalProj;
  std::vector<Case<P>> cases = MappingCases<P>();
  const Case<P> more[] = {
      {"cleanAreaForWidth:height:", [](Outs&) { return Args{V::Int(400), V::Int(200)}; },
       [](P& p, Outs&) { return V::Float(p.GetCleanAreaForWidthHeight(400, 200)); }},
      {"getTiltRangeminTilt:maxTilt:", [](Outs& o) { return Args{Out(o.f[0]), Out(o.f[1])}; },
       [](P& p, Outs& o) { return V::Int(p.GetTiltRange(&o.f[0], &o.f[1])); }},
      {"getPanRangemin:max:", [](Outs& o) { return Args{Out(o.f[0]), Out(o.f[1])}; },
       [](P& p, Outs& o) {
         p.GetPanRange(&o.f[0], &o.f[1]);
         return V();
       }},
      {"compareotherProjection:", [](Outs&) { return Args{Object(KsMakeRef<CylindricalProj>())}; },
       [](P& p, Outs&) { return V::Bool(p.Compare(KsMakeRef<CylindricalProj>())); }},
      {"compareotherProjection:", [](Outs&) { return Args{Object(KsMakeRef<EquirectangularProj>())}; },
       [](P& p, Outs&) { return V::Bool(p.Compare(KsMakeRef<EquirectangularProj>())); }},
      {"compareotherProjection:", [](Outs&) { return Args{V::Nil()}; },
       [](P& p, Outs&) { return V::Bool(p.Compare({})); }},
  };
  cases.insert(cases.end(), std::begin(more), std::end(more));
  ExpectLikeModel<P>(&Make<P>, &Stateless<P>, cases);

  using E = EquirectangularProj;
  const Case<E> equirectangular[] = {
      {"compareotherProjection:", [](Outs&) { return Args{Object(KsMakeRef<EquirectangularProj>())}; },
       [](E& e, Outs&) { return V::Bool(e.Compare(KsMakeRef<EquirectangularProj>())); }},
  };
  ExpectLikeModel<E>(&Make<E>, &Stateless<E>, equirectangular);

  ExpectLikeModel<CubicProjection>(&Make<CubicProjection>, &Stateless<CubicProjection>,
                                   MappingCases<CubicProjection>());
}

TEST(BridgedProjectionMethodsTest, TheCubicClassMakesTheThreeByTwoLayout) {
  rt::Value made;
  ASSERT_EQ(rt::Send(rt::ClassAsId(CubicProjection::ClassGetClassObject()->GetCocoaClass()),
                     "create3By2CubicProjection", {}, &made),
            rt::RuntimeErr::Ok);
  auto projection = KsObjectFromCocoa(made.GetObject()).DynamicCast<CubicProjection>();
  ASSERT_TRUE(projection);
  KsRef<CubicProjection> expected;
  CubicProjection::Create3By2CubicProjection(expected);
  EXPECT_TRUE(projection->Compare(expected));
  EXPECT_EQ(projection->GetDimensionsForCleanArea(60000).w, expected->GetDimensionsForCleanArea(60000).w);
}

TEST(BridgedProjectionMethodsTest, FunctionSelectorsCallTheirOperations) {
  using F = CylindricalFunc;
  const auto state = [](F& f) {
    float domain[2], range[2];
    f.GetNominalDomain(&domain[0], &domain[1]);
    f.GetNominalRange(&range[0], &range[1]);
    return V::Array({V::Float(domain[0]), V::Float(domain[1]), V::Float(range[0]), V::Float(range[1])});
  };
  const Case<F> cases[] = {
      {"evaluate:out:", [](Outs& o) { return Args{V::Float(0.4f), Out(o.f[0])}; },
       [](F& f, Outs& o) { return V::Bool(f.Evaluate(0.4f, &o.f[0])); }},
      {"inverse:out:", [](Outs& o) { return Args{V::Float(0.2f), Out(o.f[0])}; },
       [](F& f, Outs& o) { return V::Bool(f.Inverse(0.2f, &o.f[0])); }},
      {"getNominalDomainMin:max:", [](Outs& o) { return Args{Out(o.f[0]), Out(o.f[1])}; },
       [](F& f, Outs& o) {
         f.GetNominalDomain(&o.f[0], &o.f[1]);
         return V();
       }},
      {"setNominalDomainMin:max:", [](Outs&) { return Args{V::Float(-0.5f), V::Float(0.7f)}; },
       [](F& f, Outs&) { return V::Int(f.SetNominalDomain(-0.5f, 0.7f)); }},
      {"getNominalRangeMin:max:", [](Outs& o) { return Args{Out(o.f[0]), Out(o.f[1])}; },
       [](F& f, Outs& o) {
         f.GetNominalRange(&o.f[0], &o.f[1]);
         return V();
       }},
      {"setNominalRangeMin:max:", [](Outs&) { return Args{V::Float(0.1f), V::Float(0.9f)}; },
       [](F& f, Outs&) { return V::Int(f.SetNominalRange(0.1f, 0.9f)); }},
      {"isEqualTo:", [](Outs&) { return Args{Object(KsMakeRef<CylindricalFunc>())}; },
       [](F& f, Outs&) { return V::Bool(f.Compare(KsMakeRef<CylindricalFunc>())); }},
      {"isEqualTo:", [](Outs&) { return Args{Object(KsMakeRef<LinearFunc>())}; },
       [](F& f, Outs&) { return V::Bool(f.Compare(KsMakeRef<LinearFunc>())); }},
      {"moveTiltMinDeg:withImageRange:", [](Outs&) { return Args{V::Float(-30), V::Float(1)}; },
       [](F& f, Outs&) { return V::Int(f.MoveTiltMinDeg(-30, 1)); }},
      {"moveTiltMaxDeg:withImageRange:", [](Outs&) { return Args{V::Float(40), V::Float(1)}; },
       [](F& f, Outs&) { return V::Int(f.MoveTiltMaxDeg(40, 1)); }},
      {"moveHorizon:withImageRange:", [](Outs&) { return Args{V::Float(0.4f), V::Float(1)}; },
       [](F& f, Outs&) { return V::Int(f.MoveHorizon(0.4f, 1)); }},
      {"relativeImageRange", [](Outs&) { return Args{}; },
       [](F& f, Outs&) { return V::Float(f.GetRelativeImageRange()); }},
  };
  ExpectLikeModel<F>(&Make<F>, state, cases);

  // The other functions carry the selectors of their own class.
  for (auto [cls, selector] : {std::pair{"C_LinearFunc", "moveHorizon:withImageRange:"},
                               std::pair{"C_LinearFunc", "isEqualTo:"}, std::pair{"C_PolynomialFunc", "inverse:out:"},
                               std::pair{"C_OneVarFunction", "setNominalRangeMin:max:"},
                               std::pair{"C_ProjectionAngleFunc", "relativeImageRange"}}) {
    SCOPED_TRACE(std::string(cls) + " " + selector);
    rt::Class* proxy = rt::LookUpClass(cls);
    ASSERT_NE(proxy, nullptr);
    EXPECT_NE(proxy->FindMethod(rt::RegisterSelector(selector)), nullptr);
  }
  auto polynomial = KsMakeRef<PolynomialFunc>();
  float y = 0;
  rt::Value answered;
  ASSERT_EQ(rt::Send(GetCocoaObject(polynomial.Get()).Get(), "evaluate:out:", {V::Float(0.5f), Out(y)}, &answered),
            rt::RuntimeErr::Ok);
  float expected = 0;
  EXPECT_EQ(answered, V::Bool(polynomial->Evaluate(0.5f, &expected)));
  EXPECT_EQ(y, expected);
}
