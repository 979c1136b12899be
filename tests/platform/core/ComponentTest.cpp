#include "platform/core/Component.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

enum TShape { shCircle, shSquare };

// A component with one property of every kind, as the definition tests use it too.
class TSample : public TComponent {
 public:
  explicit TSample(TComponent* AOwner) : TComponent(AOwner) {}
  ~TSample() override { SetReference<TComponent>(FBuddy, nullptr); }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo Info =
        TClassBuilder<TSample>("TSample", TComponent::StaticClassInfo())
            .Int("Count", &TSample::Count, &TSample::SetCount, 3)
            .Enum("Shape", {"shCircle", "shSquare"}, &TSample::Shape, &TSample::SetShape)
            .Bool("Active", &TSample::Active, &TSample::SetActive, true)
            .String(
                "Font.Name", [](const TSample& S) { return S.FFontName; },
                [](TSample& S, const std::string& V) { S.FFontName = V; }, "Tahoma")
            .Ref("Buddy", &TSample::Buddy, &TSample::SetBuddy)
            .Event("OnChange", &TSample::OnChange)
            .Method("SampleChange", &TSample::SampleChange)
            .Build();
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Count() const { return FCount; }
  void SetCount(int Value) { FCount = std::max(0, Value); }
  TShape Shape() const { return FShape; }
  void SetShape(TShape Value) { FShape = Value; }
  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* Value) { SetReference(FBuddy, Value); }
  void SampleChange(TComponent* Sender) { LastSender = Sender; }

  TNotifyEvent OnChange;
  TComponent* LastSender = nullptr;
  int LoadedCalls = 0;

 protected:
  void Loaded() override {
    ++LoadedCalls;
    WasLoadingInLoaded = Loading();
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
  }

 public:
  bool WasLoadingInLoaded = true;

 private:
  int FCount = 3;
  TShape FShape = shCircle;
  bool FActive = true;
  std::string FFontName = "Tahoma";
  TComponent* FBuddy = nullptr;
};

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
}

TEST(Component, PublishedMethodBindsToEventOfMatchingSignature) {
  TSample S(nullptr);
  const TMethodInfo* M = S.ClassInfo().FindMethod("samplechange");
  ASSERT_NE(M, nullptr);
  S.SetPropValue("OnChange", TPropValue(TMethod{"SampleChange", M->Bind(S)}));
  ASSERT_TRUE(S.OnChange);
  S.OnChange(&S);
  EXPECT_EQ(S.LastSender, &S);
  EXPECT_EQ(std::get<TMethod>(S.GetPropValue("OnChange")).Name, "SampleChange");
  std::function<void()> Wrong = [] {};
  EXPECT_THROW(S.SetPropValue("OnChange", TPropValue(TMethod{"X", Wrong})), EComponentError);
}

TEST(Component, EndLoadCallsLoadedAfterLoadingIsCleared) {
  TSample S(nullptr);
  S.BeginLoad();
  EXPECT_TRUE(S.Loading());
  S.EndLoad();
  EXPECT_EQ(S.LoadedCalls, 1);
  EXPECT_FALSE(S.WasLoadingInLoaded);
}

}  // namespace
