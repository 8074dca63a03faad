#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "platform/classes/Layout.h"
#include "support/Golden.h"

namespace kvb::test {
namespace {

const char* const kLayout = R"(object FrmTest: TFrmTest
  Left = 367
  Top = 310
  BorderStyle = bsSingle
  Caption = 'Filtering by adjusting the Fourier coefficients'
  ClientHeight = 549
  ClientWidth = 443
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -13
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Menu = MainMenu1
  Scaled = False
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 120
  TextHeight = 16
  object Label1: TLabel
    Left = 0
    Top = 186
    Width = 129
    Height = 16
    Alignment = taRightJustify
    AutoSize = False
    Caption = 'cut-off frequency'
  end
  object SBFreqLimit: TScrollBar
    Left = 136
    Top = 184
    Width = 289
    Height = 21
    Max = 256
    PageSize = 0
    Position = 256
    SmallChange = 1
    LargeChange = 1
    TabOrder = 0
    OnChange = SBFreqLimitChange
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Exit1: TMenuItem
        Caption = 'E&xit'
        OnClick = Exit1Click
      end
    end
  end
end
)";

class TFrmTest : public TForm {
    KVB_CLASS_INFO()
public:
    explicit TFrmTest(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }
    void FormCreate(TObject*) { log.push_back("create"); }
    void FormShow(TObject*) { log.push_back("show " + std::to_string(Bar()->Position())); }
    void SBFreqLimitChange(TObject*) { log.push_back("change " + std::to_string(Bar()->Position())); }
    void Exit1Click(TObject*) {
        log.push_back("exit");
        Close();
    }
    TScrollBar* Bar() const { return static_cast<TScrollBar*>(FindComponent("SBFreqLimit")); }
    TLabel* Label() const { return static_cast<TLabel*>(FindComponent("Label1")); }
    std::vector<std::string> log;
};

const TClassInfo& TFrmTest::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TFrmTest>("TFrmTest", &TForm::StaticClassInfo())
            .Method("FormCreate", &TFrmTest::FormCreate)
            .Method("FormShow", &TFrmTest::FormShow)
            .Method("SBFreqLimitChange", &TFrmTest::SBFreqLimitChange)
            .Method("Exit1Click", &TFrmTest::Exit1Click)
            .Build());
    return info;
}

class LayoutFormTest : public ::testing::Test {
protected:
    THeadlessHost host;
};

TEST_F(LayoutFormTest, StoredFormLoadsItsControlsAndBindings) {
    TFrmTest* f = Application()->CreateForm<TFrmTest>();
    EXPECT_EQ(Application()->MainForm(), f);
    EXPECT_EQ(f->Caption(), "Filtering by adjusting the Fourier coefficients");
    EXPECT_EQ(f->BorderStyle(), bsSingle);
    EXPECT_EQ(f->Left(), 367);
    EXPECT_EQ(f->Top(), 310);
    EXPECT_EQ(f->ClientWidth(), 443);
    EXPECT_EQ(f->ClientHeight(), 549);
    EXPECT_EQ(f->Color(), clBtnFace);
    EXPECT_EQ(f->Font()->Height(), -13);
    // Not scaled: the stored 120 pixels per inch leave every size as stored.
    EXPECT_FALSE(f->Scaled());
    EXPECT_EQ(f->PixelsPerInch(), 120);

    TLabel* label = f->Label();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Parent(), f);
    EXPECT_EQ(label->BoundsRect(), Rect(0, 186, 129, 202));
    EXPECT_EQ(label->Alignment(), taRightJustify);
    EXPECT_FALSE(label->AutoSize());
    EXPECT_EQ(label->Caption(), "cut-off frequency");
    EXPECT_EQ(label->Font()->Height(), -13);

    TScrollBar* bar = f->Bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Parent(), f);
    EXPECT_EQ(bar->Kind(), sbHorizontal);
    EXPECT_EQ(bar->BoundsRect(), Rect(136, 184, 425, 205));
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Max(), 256);
    EXPECT_EQ(bar->Position(), 256);
    EXPECT_EQ(bar->TabOrder(), 0);

    ASSERT_NE(f->Menu(), nullptr);
    TMenuItem* exitItem = f->Menu()->FindItemByPath("File|Exit");
    ASSERT_NE(exitItem, nullptr);
    EXPECT_EQ(exitItem->Name(), "Exit1");
    EXPECT_EQ(exitItem->Parent()->Name(), "File1");
    EXPECT_EQ(exitItem->GetParentComponent()->Name(), "File1");
    EXPECT_EQ(exitItem->Parent()->GetParentComponent(), f->Menu());

    // No change fired while loading; OnCreate after the layout; OnShow once shown.
    EXPECT_EQ(f->log, (std::vector<std::string>{"create"}));
    Application()->Run();
    bar->SetPosition(100);
    EXPECT_TRUE(host.ChooseMenu(f, "File|Exit"));
    EXPECT_EQ(f->log, (std::vector<std::string>{"create", "show 256", "change 100", "exit"}));
    EXPECT_TRUE(Application()->Terminated());
}

TEST_F(LayoutFormTest, WrittenBackTheFormReadsTheSame) {
    TFrmTest* f = Application()->CreateForm<TFrmTest>();
    f->Bar()->SetPosition(17);
    const std::string text = WriteLayout(f);
    TForm copy(nullptr);
    // A plain form cannot bind the handlers; everything else must come back.
    TLayoutOptions options;
    std::string plain = text;
    for (const char* ev : {"  OnCreate = FormCreate\n", "  OnShow = FormShow\n",
                           "    OnChange = SBFreqLimitChange\n", "        OnClick = Exit1Click\n"}) {
        const auto at = plain.find(ev);
        ASSERT_NE(at, std::string::npos) << ev << "\n" << text;
        plain.erase(at, std::string(ev).size());
    }
    plain.replace(plain.find("TFrmTest"), 8, "TForm");
    ReadLayout(plain, &copy, options);
    auto* bar = static_cast<TScrollBar*>(copy.FindComponent("SBFreqLimit"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Position(), 17);
    EXPECT_EQ(bar->Max(), 256);
    EXPECT_EQ(copy.Menu()->FindItemByPath("File|Exit")->Name(), "Exit1");
    EXPECT_EQ(static_cast<TLabel*>(copy.FindComponent("Label1"))->Alignment(), taRightJustify);
    EXPECT_EQ(WriteLayout(&copy), plain);
}

TEST_F(LayoutFormTest, ScrollBarValuesMayComeInAnyOrderWhileLoading) {
    TForm f(nullptr);
    ReadLayout(R"(object F: TForm
  object B: TScrollBar
    Position = -50
    Max = -10
    Min = -100
  end
end
)", &f);
    auto* bar = static_cast<TScrollBar*>(f.FindComponent("B"));
    EXPECT_EQ(bar->Min(), -100);
    EXPECT_EQ(bar->Max(), -10);
    EXPECT_EQ(bar->Position(), -50);
}

TEST_F(LayoutFormTest, ScaledFormGrowsWithTheScreen) {
    TForm f(nullptr);
    ReadLayout(R"(object F: TForm
  ClientHeight = 100
  ClientWidth = 200
  Font.Height = -12
  Scaled = True
  PixelsPerInch = 48
  object L: TLabel
    Left = 10
    Top = 5
    Width = 30
    Height = 7
    AutoSize = False
  end
end
)", &f);
    EXPECT_EQ(f.ClientWidth(), 400);
    EXPECT_EQ(f.ClientHeight(), 200);
    EXPECT_EQ(f.Font()->Height(), -24);
    EXPECT_EQ(f.FindComponent("L") != nullptr ? static_cast<TLabel*>(f.FindComponent("L"))->BoundsRect() : TRect{},
              Rect(20, 10, 80, 24));
    EXPECT_EQ(static_cast<TLabel*>(f.FindComponent("L"))->Font()->Height(), -24);
}

TEST_F(LayoutFormTest, AutoSizedLabelFitsItsCaption) {
    TForm f(nullptr);
    auto* label = new TLabel(&f);
    label->SetParent(&f);
    label->Font()->SetHeight(-13);
    label->SetCaption("&Save");
    TBitmap probe;
    probe.Canvas()->Font()->Assign(label->Font());
    EXPECT_EQ(label->DisplayText(), "Save");
    EXPECT_EQ(label->Width(), probe.Canvas()->TextWidth("Save"));
    EXPECT_EQ(label->Height(), probe.Canvas()->TextHeight("Save"));
    label->SetAlignment(taRightJustify);
    label->SetBounds(100, 0, label->Width(), label->Height());
    const Integer right = label->Left() + label->Width();
    label->SetCaption("Save all");
    // Right-justified labels keep their right edge.
    EXPECT_EQ(label->Left() + label->Width(), right);
    EXPECT_EQ(StripHotkey("Fish && &Chips"), "Fish & Chips");
}

TEST_F(LayoutFormTest, ComposedStoredForm) {
    TFrmTest* f = Application()->CreateForm<TFrmTest>();
    f->SetClientHeight(220);
    auto* probe = new TProbe(f);
    probe->SetParent(f);
    probe->SetBounds(16, 8, 417, 169);
    probe->Box = Rect(20, 20, 397, 149);
    probe->Fill = clNavy;
    f->Show();
    Application()->ProcessMessages();
    auto bmp = host.ComposeForm(f);
    EXPECT_GOLDEN(*bmp, "controls_stored_form");
}

}  // namespace
}  // namespace kvb::test
