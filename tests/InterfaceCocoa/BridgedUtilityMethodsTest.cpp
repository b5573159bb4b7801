#include <gtest/gtest.h>

#include "BridgedMethodTable.h"
#include "General/KsValueWrapper.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "Security/X509CertificateStore.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/LocalPathResolver.h"
#include "Utilities/ObjectWriter.h"

using namespace bridged_test;

namespace {

KsRef<KsValueWrapper> Target() {
  static auto target = KsMakeRef<KsValueWrapper>();
  return target;
}

// A resolver that knows one object already.
KsRef<LocalPathResolver> Resolver() {
  auto resolver = KsMakeRef<LocalPathResolver>();
  resolver->AddObject(PWStringRef("hc://Known"), Target());
  return resolver;
}

V Knows(LocalPathResolver& resolver, const char* path) {
  return V::Bool(resolver.GetObjectForPath(PWStringRef(path)).Get() != nullptr);
}

}  // namespace

TEST(BridgedUtilityMethodsTest, PathResolverSelectorsCallTheirOperations) {
  using R = LocalPathResolver;
  const auto state = [](R& r) { return V::Array({Knows(r, "hc://Known"), Knows(r, "hc://Added")}); };
  const Case<R> cases[] = {
      {"looksLikeMyPathtestPath:", [](Outs&) { return Args{V::String("hc://Known")}; },
       [](R& r, Outs&) { return V::Bool(r.LooksLikeMyPath(PWStringRef("hc://Known"))); }},
      {"looksLikeMyPathtestPath:", [](Outs&) { return Args{V::String("file:///tmp")}; },
       [](R& r, Outs&) { return V::Bool(r.LooksLikeMyPath(PWStringRef("file:///tmp"))); }},
      {"getObjectForPathpath:", [](Outs&) { return Args{V::String("hc://Known")}; },
       [](R& r, Outs&) { return Box(r.GetObjectForPath(PWStringRef("hc://Known"))); }},
      {"getObjectForPathpath:", [](Outs&) { return Args{V::String("hc://Unknown")}; },
       [](R& r, Outs&) { return Box(r.GetObjectForPath(PWStringRef("hc://Unknown"))); }},
      {"addObjectpath:object:", [](Outs&) { return Args{V::String("hc://Added"), Object(Target())}; },
       [](R& r, Outs&) { return V::Int(r.AddObject(PWStringRef("hc://Added"), Target())); }},
      {"addObjectpath:object:", [](Outs&) { return Args{V::String("hc://Added"), V::Nil()}; },
       [](R& r, Outs&) { return V::Int(r.AddObject(PWStringRef("hc://Added"), {})); }},
      {"removePathpath:", [](Outs&) { return Args{V::String("hc://Known")}; },
       [](R& r, Outs&) { return V::Int(r.RemovePath(PWStringRef("hc://Known"))); }},
      {"removePathpath:", [](Outs&) { return Args{V::String("hc://Unknown")}; },
       [](R& r, Outs&) { return V::Int(r.RemovePath(PWStringRef("hc://Unknown"))); }},
  };
  ExpectLikeModel<R>(&Resolver, state, cases);

  // The resolver made from a root object answers the selectors of its base.
  auto root = KsMakeRef<HcPathResolver>();
  root->SetRootObject(Target());
  rt::Value mine;
  ASSERT_EQ(rt::Send(GetCocoaObject(root.Get()).Get(), "looksLikeMyPathtestPath:", {V::String("hc://X")}, &mine),
            rt::RuntimeErr::Ok);
  EXPECT_EQ(mine, V::Bool(root->LooksLikeMyPath(PWStringRef("hc://X"))));
}

TEST(BridgedUtilityMethodsTest, WriterLoaderAndCertificateStoreSelectorsCallTheirOperations) {
  using W = ObjectWriter;
  const Case<W> writes[] = {
      {"writeObject", [](Outs&) { return Args{}; }, [](W& w, Outs&) { return V::Int(w.WriteObject()); }},
  };
  ExpectLikeModel<W>([] { return KsMakeRef<W>(); }, [](W&) { return V(); }, writes);

  using L = HcMLLoader;
  const auto loaderWith = [] {
    auto loader = KsMakeRef<L>();
    loader->SetRootObject(KsMakeRef<KsValueWrapper>());
    loader->SetHcMLToLoad(PWStringRef("<IntValue>7</IntValue>"));
    return loader;
  };
  const Case<L> loads[] = {
      {"loadHcML", [](Outs&) { return Args{}; }, [](L& l, Outs&) { return V::Int(l.LoadHcML()); }},
  };
  const auto rootValue = [](L& l) {
    auto root = l.GetRootObject().DynamicCast<KsValueWrapper>();
    return V::Int(root ? root->GetIntValue() : -1);
  };
  ExpectLikeModel<L>(loaderWith, rootValue, loads);
  KsRef<L> loader = loaderWith();
  rt::Value loaded;
  rt::Send(GetCocoaObject(loader.Get()).Get(), "loadHcML", {}, &loaded);
  EXPECT_EQ(loaded, V::Int(0));
  EXPECT_EQ(rootValue(*loader), V::Int(7));
  ExpectLikeModel<L>([] { return KsMakeRef<L>(); }, [](L&) { return V(); }, loads);

  using S = X509CertificateStore;
  static auto unparsable = KsMakeRef<PEMOpenSSLPublicCert>();
  const Case<S> verifies[] = {
      {"verifyClientCert:", [](Outs&) { return Args{Object(unparsable)}; },
       [](S& s, Outs&) { return V::Bool(s.VerifyClientCert(unparsable)); }},
      {"verifyClientCert:", [](Outs&) { return Args{V::Nil()}; },
       [](S& s, Outs&) { return V::Bool(s.VerifyClientCert({})); }},
  };
  ExpectLikeModel<S>([] { return KsMakeRef<S>(); }, [](S&) { return V(); }, verifies);
}
