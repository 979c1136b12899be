#include "platform/core/Component.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/platform/core/SampleComponents.h"

namespace {

TEST(Component, OwnerDestroysOwnedAndNamesAreUniqueCaseInsensitively) {
  auto Root = std::make_unique<TComponent>(nullptr);
  auto* A = new TSample(Root.get());
  A->SetName("Alpha");
  auto* B = new TSample(Root.get());
  EXPECT_THROW(B->SetName("ALPHA"), EComponentError);
  EXPECT_THROW(B->SetName("2nd"), EComponentError);
  B->SetName("Beta");
  EXPECT_EQ(Root->FindComponent("alpha"), A);
  EXPECT_EQ(Root->ComponentCount(), 2);
  delete A;
  EXPECT_EQ(Root->ComponentCount(), 1);
  EXPECT_EQ(Root->Components(0), B);
}

TEST(Component, ReferencesAreClearedWhenTheTargetGoes) {
  TComponent Root(nullptr);
  auto* A = new TSample(&Root);
  auto* Outside = new TSample(nullptr);
  A->SetBuddy(Outside);
  delete Outside;  // not a sibling: only the free notification reaches A
  EXPECT_EQ(A->Buddy(), nullptr);
  auto* Sibling = new TSample(&Root);
  A->SetBuddy(Sibling);
  delete Sibling;
  EXPECT_EQ(A->Buddy(), nullptr);
}

TEST(Component, PropertiesBySetterWithConversionAndCaseInsensitiveNames) {
  TSample S(nullptr);
  S.SetPropValue("count", TPropValue(std::int64_t(-5)));
  EXPECT_EQ(S.Count(), 0);  // the setter clamps
  S.SetPropValue("SHAPE", TPropValue(std::int64_t(1)));
  EXPECT_EQ(S.Shape(), shSquare);
  S.SetPropValue("font.name", TPropValue(std::string("Arial")));
  EXPECT_EQ(std::get<std::string>(S.GetPropValue("Font.Name")), "Arial");
  EXPECT_THROW(S.SetPropValue("Count", TPropValue(true)), EComponentError);
  EXPECT_THROW(S.SetPropValue("Nope", TPropValue(true)), EComponentError);
  EXPECT_EQ(std::get<std::int64_t>(S.GetPropValue("Tag")), 0);  // inherited
  TComponent Plain(nullptr);
  EXPECT_THROW(S.SetPropValue("Buddy", TPropValue(&Plain)), EComponentError);  // wrong class
}

}  // namespace
