object frmMain: TfrmMain
  Left = 0
  Top = 0
  Width = 337
  Height = 362
  Caption = 'Tessolon 3.0'
  Color = clBtnFace
  Font.Name = 'MS Sans Serif'
  BorderStyle = bsNone
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  OnActivate = FormActivate
  object TrayIcon1: TTrayIcon
    Hint = 'Tessolon 3.0'
    ShowHint = True
    Icon = 'tray.png'
    PopupMenu = PopupMenu1
    MinimizeToTray = True
    CycleInterval = 0
  end
  object PopupMenu1: TPopupMenu
    object ShowApplication1: TMenuItem
      Caption = 'Show Win'
      OnClick = ShowApplication1Click
    end
    object Run1: TMenuItem
      Caption = 'Run'
      OnClick = Run1Click
    end
    object StopProcess1: TMenuItem
      Caption = 'Stop'
      OnClick = StopProcess1Click
    end
    object Exitprogram1: TMenuItem
      Caption = 'Exit...'
      OnClick = Exitprogram1Click
    end
  end
  object SkinMenu1: TSkinMenu
    Font.Name = 'Tahoma'
    Font.Height = -11
    Gradient = True
    FlatMenu = False
    DrawMenuBar = False
    AutoDetect = True
    Active = True
  end
  object skImageForm1: TskImageForm
    Left = 0
    Top = 0
    Width = 337
    Height = 362
    Align = alClient
    AutoSize = True
    Picture = 'skin.png'
    TransparentColor = clTeal
    DragTolerance = 5
  end
  object skLabel6: TskLabel
    Transparent = True
    Left = 73
    Top = 297
    Width = 150
    Height = 20
    Caption = 'Tessolon 3.0'
    Font.Name = 'Tahoma'
    Font.Height = -15
    Font.Color = clBlue
    Font.Style = [fsBold]
    TextOptions.Alignment = taLeftJustify
    TextOptions.VAlignment = vaTop
    TextOptions.Style = sklsRaised
    TextOptions.HighlightColor = clYellow
    TextOptions.ShadeColor = clNavy
    TextOptions.DisabledColors.ShadeColor = clBlack
    TextOptions.Shadow.Color = clGray
    TextOptions.Shadow.XOffset = 20
    TextOptions.Shadow.YOffset = 15
    TextOptions.ExtrudeEffects.Depth = 5
    TextOptions.ExtrudeEffects.FarColor = clGray
  end
  object skLabel1: TskLabel
    Transparent = True
    Left = 227
    Top = 66
    Width = 80
    Height = 16
    Caption = 'Status...'
    Font.Name = 'Tahoma'
    Font.Height = -12
    Font.Color = clBlue
    Font.Style = [fsBold]
    TextOptions.Alignment = taLeftJustify
    TextOptions.VAlignment = vaTop
    TextOptions.Style = sklsRaised
    TextOptions.HighlightColor = clYellow
    TextOptions.ShadeColor = clNavy
    TextOptions.DisabledColors.ShadeColor = clBlack
    TextOptions.Shadow.Color = clGray
    TextOptions.Shadow.XOffset = 20
    TextOptions.Shadow.YOffset = 15
    TextOptions.ExtrudeEffects.Depth = 5
    TextOptions.ExtrudeEffects.FarColor = clGray
  end
  object lblPoint: TskLabel
    Transparent = True
    Left = 228
    Top = 84
    Width = 90
    Height = 20
    Caption = 'STOP ...'
    Font.Name = 'Tahoma'
    Font.Height = -15
    Font.Color = clRed
    Font.Style = [fsBold]
    TextOptions.Alignment = taLeftJustify
    TextOptions.VAlignment = vaTop
    TextOptions.Style = sklsRaised
    TextOptions.HighlightColor = clYellow
    TextOptions.ShadeColor = clNavy
    TextOptions.DisabledColors.ShadeColor = clBlack
    TextOptions.Shadow.Color = clGray
    TextOptions.Shadow.XOffset = 20
    TextOptions.Shadow.YOffset = 15
    TextOptions.ExtrudeEffects.Depth = 5
    TextOptions.ExtrudeEffects.FarColor = clGray
  end
  object skLabel2: TskLabel
    Transparent = True
    Left = 55
    Top = 258
    Width = 100
    Height = 16
    Caption = 'Select Pest'
    Font.Name = 'Tahoma'
    Font.Height = -12
    Font.Color = clLime
    Font.Style = [fsBold]
    TextOptions.Alignment = taLeftJustify
    TextOptions.VAlignment = vaTop
    TextOptions.Style = sklsRaised
    TextOptions.HighlightColor = clYellow
    TextOptions.ShadeColor = clNavy
    TextOptions.DisabledColors.ShadeColor = clBlack
    TextOptions.Shadow.Color = clGray
    TextOptions.Shadow.XOffset = 20
    TextOptions.Shadow.YOffset = 15
    TextOptions.ExtrudeEffects.Depth = 5
    TextOptions.ExtrudeEffects.FarColor = clGray
  end
  object cbLook1: TDBLookupComboBox
    Left = 53
    Top = 273
    Width = 154
    Height = 22
    Color = clBlack
    Font.Name = 'Tahoma'
    Font.Height = -12
    Font.Color = clYellow
    KeyField = 'IDX'
    ListField = 'NAME_PEST'
    ListSource = frmUtil.DataSource1
    OnCloseUp = cbLook1CloseUp
  end
  object Animate1: TAnimate
    Left = 300
    Top = 69
    Width = 24
    Height = 22
    CommonAVI = aviFindComputer
    StartFrame = 0
    StopFrame = 8
    Active = False
  end
  object btnConfig: TskImageBtn
    Left = 9
    Top = 313
    Width = 48
    Height = 45
    Color = clTeal
    DitherColor = clWhite
    DitherStyle = dsDither
    ShadeStyle = fbsNormal
    TransparentColor = clNone
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Color = clWindowText
    Font.Style = [fsBold]
    ParentFont = False
    TextOptions.Alignment = taCenter
    TextOptions.VAlignment = vaVCenter
    TextOptions.Style = sklsRaised
    TextOptions.ShadeColor = clNone
    Image = 'button-up.png'
    ImageDown = 'button-down.png'
    Glyph = 'glyph-config.png'
    NumGlyphs = 1
    OnClick = btnConfigClick
  end
  object btnGo: TskImageBtn
    Left = 60
    Top = 312
    Width = 48
    Height = 45
    Color = clTeal
    DitherColor = clWhite
    DitherStyle = dsDither
    ShadeStyle = fbsNormal
    TransparentColor = clNone
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Color = clWindowText
    Font.Style = [fsBold]
    ParentFont = False
    TextOptions.Alignment = taCenter
    TextOptions.VAlignment = vaVCenter
    TextOptions.Style = sklsRaised
    TextOptions.ShadeColor = clNone
    Image = 'button-up.png'
    ImageDown = 'button-down.png'
    Glyph = 'glyph-go.png'
    NumGlyphs = 0
    OnClick = btnGoClick
  end
  object btnStop: TskImageBtn
    Left = 112
    Top = 312
    Width = 48
    Height = 45
    Color = clTeal
    DitherColor = clWhite
    DitherStyle = dsDither
    ShadeStyle = fbsNormal
    TransparentColor = clNone
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Color = clWindowText
    Font.Style = [fsBold]
    ParentFont = False
    TextOptions.Alignment = taCenter
    TextOptions.VAlignment = vaVCenter
    TextOptions.Style = sklsRaised
    TextOptions.ShadeColor = clNone
    Image = 'button-up.png'
    ImageDown = 'button-down.png'
    Glyph = 'glyph-stop.png'
    NumGlyphs = 1
    OnClick = btnStopClick
  end
  object btnAbout: TskImageBtn
    Left = 164
    Top = 312
    Width = 48
    Height = 45
    Color = clTeal
    DitherColor = clWhite
    DitherStyle = dsDither
    ShadeStyle = fbsNormal
    TransparentColor = clNone
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Color = clWindowText
    Font.Style = [fsBold]
    ParentFont = False
    TextOptions.Alignment = taCenter
    TextOptions.VAlignment = vaVCenter
    TextOptions.Style = sklsRaised
    TextOptions.ShadeColor = clNone
    Image = 'button-up.png'
    ImageDown = 'button-down.png'
    Glyph = 'glyph-about.png'
    NumGlyphs = 0
    OnClick = btnAboutClick
  end
  object btnClose: TskImageBtn
    Left = 215
    Top = 311
    Width = 48
    Height = 45
    Color = clTeal
    DitherColor = clWhite
    DitherStyle = dsDither
    ShadeStyle = fbsNormal
    TransparentColor = clNone
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Color = clWindowText
    Font.Style = [fsBold]
    ParentFont = False
    TextOptions.Alignment = taCenter
    TextOptions.VAlignment = vaVCenter
    TextOptions.Style = sklsRaised
    TextOptions.ShadeColor = clNone
    Image = 'button-up.png'
    ImageDown = 'button-down.png'
    Glyph = 'glyph-close.png'
    NumGlyphs = 0
    OnClick = btnCloseClick
  end
  object btnMin: TskToolButton
    Left = 2
    Top = 298
    Width = 15
    Height = 15
    ToolType = ttPopup
    Color = clBlue
    OnClick = btnMinClick
  end
  object btnQuit: TskToolButton
    Left = 254
    Top = 298
    Width = 15
    Height = 15
    ToolType = ttClose
    Color = clBlue
    OnClick = btnQuitClick
  end
end
