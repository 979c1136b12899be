#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "platform/core/DefinitionOutline.h"
#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "tests/platform/core/SampleComponents.h"

namespace {

class Definition : public testing::Test {
 protected:
  void SetUp() override { RegisterSampleClasses(); }

  std::unique_ptr<TComponent> Read(const std::string& Text) {
    return std::unique_ptr<TComponent>(CreateFromDefinition(nullptr, Text, "test.dfm"));
  }
  // The message of the error reading Text gives, or "" when it reads.
  std::string ReadError(const std::string& Text) {
    try {
      Read(Text);
    } catch (const EDefinitionError& E) {
      return E.Message();
    }
    return "";
  }
};

const char* const Full =
    "object frmSample: TSampleForm\n"
    "  Count = 7\n"
    "  Ratio = 0.1\n"
    "  Active = False\n"
    "  Shape = shTriangle\n"
    "  Styles = [fsBold, fsUnderline]\n"
    "  Color = clTeal\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Caption = 'It''s '#8364#128512'?'\n"
    "  Items = (\n"
    "    'one'\n"
    "    '')\n"
    "  Buddy = Inner\n"
    "  object pnlOuter: TSamplePanel\n"
    "    Color = 12345678\n"
    "    Data = {\n"
    "      000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
    "      FF}\n"
    "    OnChange = SampleChange\n"
    "    object Inner: TSamplePanel\n"
    "      Tag = -4\n"
    "      Picture = 'skin.bmp'\n"
    "      Buddy = pnlOuter\n"
    "    end\n"
    "  end\n"
    "  object Lone: TSample\n"
    "  end\n"
    "end\n";

TEST_F(Definition, ReadsEveryKindNestingReferencesAndHandlers) {
  auto Root = Read(Full);
  auto& Form = dynamic_cast<TSampleForm&>(*Root);
  EXPECT_EQ(Form.Name(), "frmSample");
  EXPECT_EQ(Form.Count(), 7);
  EXPECT_DOUBLE_EQ(Form.Ratio(), 0.1);
  EXPECT_FALSE(Form.Active());
  EXPECT_EQ(Form.Shape(), shTriangle);
  EXPECT_EQ(Form.Styles(), 0b101);
  EXPECT_EQ(Form.Color(), clTeal);
  EXPECT_EQ(Form.Caption(), "It's \u20AC\U0001F600?");
  EXPECT_EQ(Form.Items(), (TStringList{"one", ""}));
  // Every nested object is owned by the root; nesting gives the parent.
  ASSERT_EQ(Form.ComponentCount(), 3);
  auto* Outer = dynamic_cast<TSamplePanel*>(Form.FindComponent("pnlouter"));
  auto* Inner = dynamic_cast<TSamplePanel*>(Form.FindComponent("Inner"));
  ASSERT_TRUE(Outer && Inner);
  EXPECT_EQ(Inner->GetParentComponent(), Outer);
  EXPECT_EQ(Outer->GetParentComponent(), &Form);
  EXPECT_EQ(Outer->Color(), 12345678);
  EXPECT_EQ(Outer->Data().size(), 33u);
  EXPECT_EQ(Outer->Data()[32], 0xFF);
  // A reference written before its target exists resolves after the whole tree is read.
  EXPECT_EQ(Form.Buddy(), Inner);
  EXPECT_EQ(Inner->Buddy(), Outer);
  EXPECT_EQ(Inner->Picture(), "skin.bmp");
  ASSERT_TRUE(Outer->OnChange);
  Outer->OnChange(Outer);
  EXPECT_EQ(Form.LastSender, Outer);
  // Loaded ran once everywhere, after loading was cleared and references were set.
  for (TSample* C : {static_cast<TSample*>(&Form), static_cast<TSample*>(Inner)}) {
    EXPECT_EQ(C->LoadedCalls, 1);
    EXPECT_FALSE(C->WasLoadingInLoaded);
    EXPECT_TRUE(C->BuddyKnownInLoaded);
  }
}

TEST_F(Definition, OutlineGivesSimpleValuesAndEachObjectsOwnText) {
  const TDefinitionOutline Root = OutlineDefinition(Full, "test.dfm");
  EXPECT_EQ(Root.ClassName, "TSampleForm");
  EXPECT_EQ(Root.Value("count"), "7");
  EXPECT_EQ(Root.Value("Ratio"), "0.1");
  EXPECT_EQ(Root.Value("Shape"), "shTriangle");
  EXPECT_EQ(Root.Value("Font.Name"), "MS Sans Serif");
  EXPECT_EQ(Root.Value("Caption"), "It's \u20AC\U0001F600?");
  // Sets, lists and binary data are passed over; an absent value gives the default.
  EXPECT_EQ(Root.Value("Styles", "none"), "none");
  EXPECT_EQ(Root.Value("Items", "none"), "none");
  ASSERT_EQ(Root.Children.size(), 2u);
  const TDefinitionOutline* Inner = Root.Find("inner");
  ASSERT_TRUE(Inner);
  EXPECT_EQ(Inner->Value("Tag"), "-4");
  EXPECT_EQ(Root.Find("pnlOuter")->Value("Data", "none"), "none");
  EXPECT_EQ(Root.Find("Lone")->Text, "object Lone: TSample\n  end");
  EXPECT_EQ(Root.Find("Nobody"), nullptr);
  // An object's text reads as a definition of its own.
  auto Lone = Read(std::string(Root.Find("Lone")->Text));
  EXPECT_EQ(Lone->Name(), "Lone");
}

// Binary data of every byte value included.
TEST_F(Definition, WriteReadWriteGivesTheSameTextAndBytes) {
  auto First = Read(Full);
  TBytes All(256 + 7);
  for (std::size_t I = 0; I < All.size(); ++I) All[I] = static_cast<std::uint8_t>(I * 7);
  dynamic_cast<TSample&>(*First).SetData(All);
  const std::string Written = WriteDefinition(*First);
  auto Second = Read(Written);
  EXPECT_EQ(WriteDefinition(*Second), Written);
  auto* A = dynamic_cast<TSample*>(First->FindComponent("pnlOuter"));
  auto* B = dynamic_cast<TSample*>(Second->FindComponent("pnlOuter"));
  EXPECT_EQ(A->Data(), B->Data());
  EXPECT_EQ(dynamic_cast<TSample&>(*Second).Data(), All);
  EXPECT_EQ(dynamic_cast<TSample&>(*First).Caption(), dynamic_cast<TSample&>(*Second).Caption());
  EXPECT_EQ(dynamic_cast<TSample&>(*Second).Ratio(), 0.1);
  // Defaults are left out; the nesting and order survive.
  EXPECT_EQ(Written.find("Font.Name = 'Tahoma'"), std::string::npos);
  EXPECT_NE(Written.find("\n    object Inner: TSamplePanel\n"), std::string::npos);
  EXPECT_NE(Written.find("Caption = 'It''s '#8364#128512'?'"), std::string::npos);
}

TEST_F(Definition, StringListsAlsoReadUnderTheirDelphiSpelling) {
  auto Root = Read("object A: TSampleForm\n  Items.Strings = (\n    'x'\n    'y')\nend\n");
  EXPECT_EQ(dynamic_cast<TSample&>(*Root).Items(), (TStringList{"x", "y"}));
  EXPECT_NE(ReadError("object A: TSampleForm\n  Caption.Strings = ('x')\nend\n")
                .find("line 2: Unknown property Caption.Strings"),
            std::string::npos);
}

TEST_F(Definition, MalformedInputNamesFileLineAndReason) {
  struct TCase {
    const char* Text;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"object A: TSampleForm\n  object B: TNoSuchClass\n  end\nend\n",
       "test.dfm, line 2: Unknown class TNoSuchClass"},
      {"object A: TSampleForm\n\n  Colour = clRed\nend\n",
       "test.dfm, line 3: Unknown property Colour"},
      {"object A: TSampleForm\n  Data = {\n    00 1G}\nend\n",
       "test.dfm, line 3: Bad hexadecimal digit 'G'"},
      {"object A: TSampleForm\n  Data = {012}\nend\n",
       "test.dfm, line 2: Odd number of hexadecimal digits"},
      {"object A: TSampleForm\n  object B: TSample\n    Count = 1\n",
       "test.dfm, line 2: object B: TSample is not closed by end"},
      {"object A: TSampleForm\n  Count = 'many'\nend\n",
       "test.dfm, line 2: Bad value many for property Count: integer expected"},
      {"object A: TSampleForm\n  Count = 99999999999\nend\n", "line 2: Bad value 99999999999"},
      {"object A: TSampleForm\n  Active = Yes\nend\n", "line 2: Bad value Yes"},
      {"object A: TSampleForm\n  Shape = shHexagon\nend\n", "line 2: Bad value shHexagon"},
      {"object A: TSampleForm\n  Styles = [fsBold, fsWavy]\nend\n", "line 2: Bad value fsWavy"},
      {"object A: TSampleForm\n  Color = clPlaid\nend\n", "line 2: Bad value clPlaid"},
      {"object A: TSampleForm\n  Caption = 'open\nend\n", "line 2: Unterminated string"},
      {"object A: TSampleForm\n  Caption = #55357\nend\n", "line 2: Invalid character code"},
      {"object A: TSampleForm\n  Buddy = Nobody\nend\n", "line 2: Unknown component Nobody"},
      {"object A: TSampleForm\n  Buddy = A\n  object B: TComponent\n  end\n"
       "  object C: TSample\n    Buddy = B\n  end\nend\n",
       "line 6: Component B of class TComponent does not fit property Buddy"},
      {"object A: TSampleForm\n  OnChange = Missing\nend\n", "line 2: Unknown handler Missing"},
      {"object A: TSampleForm\n  OnChange = Unfit\nend\n", "line 2: Handler Unfit does not fit"},
      {"object A: TSampleForm\n  Data = {00}\nend\n", "line 2: Data block too short"},
      {"object A: TSampleForm\n  object B: TSample\n  end\n  object b: TSample\n  end\nend\n",
       "line 4: A component named b already exists"},
      {"object A: TSampleForm\nend\nend\n", "line 3: Unexpected text after the final end"},
      {"object A: TSampleForm\n  Count 3\nend\n", "line 2: '=' expected"},
  };
  for (const auto& C : Cases) {
    const std::string Message = ReadError(C.Text);
    EXPECT_NE(Message.find(C.Expected), std::string::npos) << "input:\n"
                                                           << C.Text << "message: " << Message;
  }
}

// Damaged copies of a good definition are read or refused with EDefinitionError, nothing else.
TEST_F(Definition, DamagedDefinitionsAreRefusedCleanly) {
  std::mt19937 Random(2);
  const std::string Good = Full;
  const char Bytes[] = "'#{}[]()=:+,$-.0123456789AFaz_ \n\x80\xC3";
  int Refused = 0;
  for (int Round = 0; Round < 3000; ++Round) {
    std::string Text = Good;
    for (int Edit = 1 + Round % 4; Edit > 0; --Edit) {
      const std::size_t Pos = Random() % Text.size();
      switch (Random() % 3) {
        case 0:
          Text[Pos] = Bytes[Random() % (sizeof Bytes - 1)];
          break;
        case 1:
          Text.erase(Pos, 1 + Random() % 8);
          break;
        default:
          Text.insert(Pos, 1, Bytes[Random() % (sizeof Bytes - 1)]);
      }
    }
    try {
      Read(Text);
    } catch (const EDefinitionError& E) {
      ++Refused;
      EXPECT_EQ(E.Message().rfind("test.dfm, line ", 0), 0u) << E.Message();
    }
    try {
      OutlineDefinition(Text, "test.dfm");
    } catch (const EDefinitionError& E) {
      EXPECT_EQ(E.Message().rfind("test.dfm, line ", 0), 0u) << E.Message();
    }
  }
  EXPECT_GT(Refused, 1000);
}

TEST_F(Definition, DeepNestingIsRefusedNotOverflowed) {
  std::string Text = "object A: TSampleForm\n";
  for (int I = 0; I < 100000; ++I) Text += "object P" + std::to_string(I) + ": TSamplePanel\n";
  EXPECT_NE(ReadError(Text).find("line 102: Objects nested too deeply"), std::string::npos);
  EXPECT_THROW(OutlineDefinition(Text, "test.dfm"), EDefinitionError);
}

TEST_F(Definition, FailedReadLeavesTheGivenRootWithoutHalfBuiltChildren) {
  TSampleForm Form(nullptr);
  EXPECT_THROW(ReadDefinition(Form,
                              "object A: TSampleForm\n  object B: TSample\n  end\n"
                              "  object C: TSample\n    Count = x\n  end\nend\n",
                              "x.dfm"),
               EDefinitionError);
  EXPECT_EQ(Form.ComponentCount(), 0);
  EXPECT_FALSE(Form.Loading());
  EXPECT_EQ(Form.LoadedCalls, 0);
  EXPECT_THROW(ReadDefinition(Form, "object A: TSample\nend\n", "x.dfm"), EDefinitionError);
}

TEST_F(Definition, ReferenceIntoAnotherRootWaitsUntilThatRootIsRead) {
  auto Main = Read("object frmFirst: TSampleForm\n  Buddy = frmSecond.Target\nend\n");
  auto& First = dynamic_cast<TSample&>(*Main);
  EXPECT_EQ(First.Buddy(), nullptr);
  auto Util = Read("object frmSecond: TSampleForm\n  object Target: TSample\n  end\nend\n");
  EXPECT_EQ(First.Buddy(), Util->FindComponent("Target"));
  EXPECT_NE(WriteDefinition(First).find("Buddy = frmSecond.Target"), std::string::npos);
  Util.reset();
  EXPECT_EQ(First.Buddy(), nullptr);
}

}  // namespace
