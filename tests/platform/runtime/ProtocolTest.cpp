#include <gtest/gtest.h>

#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/Protocol.h"

namespace rt = hc::runtime;

TEST(Protocol, ConformanceFollowsAdoptionAndInheritance) {
  rt::Protocol* base = rt::ObtainProtocol("ProtocolTestBase");
  rt::Protocol* derived = rt::ObtainProtocol("ProtocolTestDerived", {base});
  rt::Protocol* other = rt::ObtainProtocol("ProtocolTestOther");
  EXPECT_EQ(derived, rt::ObtainProtocol("ProtocolTestDerived", {other}));
  EXPECT_EQ(derived, rt::LookUpProtocol("ProtocolTestDerived"));
  EXPECT_EQ(nullptr, rt::LookUpProtocol("protocoltestderived"));
  EXPECT_TRUE(derived->ConformsTo(base));
  EXPECT_FALSE(base->ConformsTo(derived));
  EXPECT_FALSE(derived->ConformsTo(other));

  rt::Class* parent = nullptr;
  rt::Class* child = nullptr;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::MakeClass("ProtocolTestParent", rt::RootClass(), &parent));
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::MakeClass("ProtocolTestChild", parent, &child));
  rt::AddProtocol(parent, derived);
  EXPECT_TRUE(rt::ConformsToProtocol(child, base));
  EXPECT_TRUE(rt::ConformsToProtocol(parent, derived));
  EXPECT_FALSE(rt::ConformsToProtocol(child, other));
  EXPECT_FALSE(rt::ConformsToProtocol(rt::RootClass(), base));
  EXPECT_FALSE(rt::ConformsToProtocol(child, nullptr));
}

TEST(Protocol, ProtocolsAreObjectsOfTheirOwnClass) {
  rt::Protocol* protocol = rt::ObtainProtocol("ProtocolTestBoxed");
  const rt::Value boxed = rt::Value::Object(protocol);
  EXPECT_EQ(protocol, rt::AsProtocol(boxed.GetObject()));
  EXPECT_EQ("Protocol", rt::ClassOf(protocol)->GetName());
  rt::ObjectRef plain = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  EXPECT_EQ(nullptr, rt::AsProtocol(plain.Get()));
  EXPECT_EQ(nullptr, rt::AsProtocol(nullptr));
}
