object frmUtil: TfrmUtil
  Left = 0
  Top = 0
  BorderStyle = bsSingle
  Caption = 'Adjustment'
  ClientWidth = 429
  ClientHeight = 324
  Color = clWhite
  Font.Name = 'Tahoma'
  Font.Height = -12
  Font.Color = clWindowText
  ParentFont = False
  Position = poMainFormCenter
  OnCreate = FormCreate
  OnShow = FormShow
  OnClose = FormClose
  object DbaseTable1: TDbaseTable
    TableName = 'para.dbf'
    Indexes = (
      'idx.ndx;IDX;ixPrimary,ixUnique')
  end
  object DataSource1: TDataSource
    DataSet = DbaseTable1
  end
  object ToneGen1: TToneGen
    Loop = True
    AMAmplitude = 30
    AMWaveform = tgSine
    AMFrequency = 0.3
    AMArrayData = {
      070000001E000000000000009A99993E00000000000000000000803F00000000
      000000000000C03F000000000000000000000040000000000000000000002040
      0000000000000000000040400000000000000000000060400000000000000000
      00008040}
  end
  object Timer1: TTimer
    Enabled = False
    OnTimer = Timer1Timer
  end
  object PageControl1: TPageControl
    Left = 5
    Top = 0
    Width = 423
    Height = 321
    ActivePage = TabSheet1
    OnChange = PageControl1Change
    object TabSheet1: TTabSheet
      Caption = 'Setup Parameter'
      object Panel1: TPanel
        Left = 3
        Top = 5
        Width = 117
        Height = 120
        BevelOuter = bvLowered
        object Image1: TImage
          Left = 1
          Top = 1
          Width = 115
          Height = 118
          Picture = 'setup.jpg'
          Stretch = True
        end
      end
      object skLabel1: TskLabel
        Left = 127
        Top = 11
        Caption = 'Pest'
        FocusControl = edPest
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clBlue
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
        TextOptions.HighlightColor = clYellow
        TextOptions.ShadeColor = clNavy
        TextOptions.Style = sklsRaised
        TextOptions.DisabledColors.ShadeColor = clBlack
        TextOptions.Shadow.Color = clGray
        TextOptions.Shadow.XOffset = 20
        TextOptions.Shadow.YOffset = 15
        TextOptions.ExtrudeEffects.Depth = 5
        TextOptions.ExtrudeEffects.FarColor = clGray
      end
      object edId: TDBEdit
        Left = 125
        Top = 30
        Width = 56
        Height = 22
        Color = clBlack
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clYellow
        ParentFont = False
        DataSource = DataSource1
        DataField = 'IDX'
        ReadOnly = True
      end
      object edPest: TDBEdit
        Left = 186
        Top = 30
        Width = 176
        Height = 22
        Color = clBlack
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clYellow
        ParentFont = False
        DataSource = DataSource1
        DataField = 'NAME_PEST'
      end
      object GroupBox1: TGroupBox
        Left = 125
        Top = 55
        Width = 239
        Height = 86
        Caption = 'Relation Group'
        object skLabel2: TskLabel
          Left = 12
          Top = 15
          Caption = 'Time Change'
          FocusControl = edTimeCh
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clBlue
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
          TextOptions.DisabledColors.ShadeColor = clBlack
          TextOptions.Shadow.Color = clGray
          TextOptions.Shadow.XOffset = 20
          TextOptions.Shadow.YOffset = 15
          TextOptions.ExtrudeEffects.Depth = 5
          TextOptions.ExtrudeEffects.FarColor = clGray
        end
        object edTimeCh: TDBEdit
          Left = 110
          Top = 13
          Width = 80
          Height = 22
          Color = clBlack
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clYellow
          ParentFont = False
          DataSource = DataSource1
          DataField = 'TIME_CH'
        end
        object skLabel5: TskLabel
          Left = 196
          Top = 16
          Caption = 'mSec'
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clBlue
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
          TextOptions.DisabledColors.ShadeColor = clBlack
          TextOptions.Shadow.Color = clGray
          TextOptions.Shadow.XOffset = 20
          TextOptions.Shadow.YOffset = 15
          TextOptions.ExtrudeEffects.Depth = 5
          TextOptions.ExtrudeEffects.FarColor = clGray
        end
        object skLabel3: TskLabel
          Left = 13
          Top = 38
          Caption = 'Value Change'
          FocusControl = edValCh
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clBlue
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
          TextOptions.DisabledColors.ShadeColor = clBlack
          TextOptions.Shadow.Color = clGray
          TextOptions.Shadow.XOffset = 20
          TextOptions.Shadow.YOffset = 15
          TextOptions.ExtrudeEffects.Depth = 5
          TextOptions.ExtrudeEffects.FarColor = clGray
        end
        object edValCh: TDBEdit
          Left = 110
          Top = 36
          Width = 80
          Height = 22
          Color = clBlack
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clYellow
          ParentFont = False
          DataSource = DataSource1
          DataField = 'VAL_CH'
        end
        object skLabel6: TskLabel
          Left = 196
          Top = 37
          Caption = 'Unit'
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clBlue
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
          TextOptions.DisabledColors.ShadeColor = clBlack
          TextOptions.Shadow.Color = clGray
          TextOptions.Shadow.XOffset = 20
          TextOptions.Shadow.YOffset = 15
          TextOptions.ExtrudeEffects.Depth = 5
          TextOptions.ExtrudeEffects.FarColor = clGray
        end
        object skLabel11: TskLabel
          Left = 13
          Top = 62
          Caption = 'Duration'
          FocusControl = edDuration
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clBlue
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
          TextOptions.DisabledColors.ShadeColor = clBlack
          TextOptions.Shadow.Color = clGray
          TextOptions.Shadow.XOffset = 20
          TextOptions.Shadow.YOffset = 15
          TextOptions.ExtrudeEffects.Depth = 5
          TextOptions.ExtrudeEffects.FarColor = clGray
        end
        object edDuration: TDBEdit
          Left = 110
          Top = 60
          Width = 80
          Height = 22
          Color = clBlack
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clYellow
          ParentFont = False
          DataSource = DataSource1
          DataField = 'DURLATE'
        end
        object skLabel12: TskLabel
          Left = 196
          Top = 61
          Caption = 'mSec'
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clBlue
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
          TextOptions.DisabledColors.ShadeColor = clBlack
          TextOptions.Shadow.Color = clGray
          TextOptions.Shadow.XOffset = 20
          TextOptions.Shadow.YOffset = 15
          TextOptions.ExtrudeEffects.Depth = 5
          TextOptions.ExtrudeEffects.FarColor = clGray
        end
      end
      object skLabel4: TskLabel
        Left = 125
        Top = 149
        Caption = 'Frequency '
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clBlue
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
        TextOptions.HighlightColor = clYellow
        TextOptions.ShadeColor = clNavy
        TextOptions.Style = sklsRaised
        TextOptions.DisabledColors.ShadeColor = clBlack
        TextOptions.Shadow.Color = clGray
        TextOptions.Shadow.XOffset = 20
        TextOptions.Shadow.YOffset = 15
        TextOptions.ExtrudeEffects.Depth = 5
        TextOptions.ExtrudeEffects.FarColor = clGray
      end
      object edFST: TDBEdit
        Left = 193
        Top = 146
        Width = 69
        Height = 22
        Color = clBlack
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clYellow
        ParentFont = False
        DataSource = DataSource1
        DataField = 'F_START'
      end
      object edFEN: TDBEdit
        Left = 266
        Top = 146
        Width = 69
        Height = 22
        Color = clBlack
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clYellow
        ParentFont = False
        DataSource = DataSource1
        DataField = 'F_END'
      end
      object skLabel7: TskLabel
        Left = 338
        Top = 149
        Caption = 'Beat'
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clBlue
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
        TextOptions.HighlightColor = clYellow
        TextOptions.ShadeColor = clNavy
        TextOptions.Style = sklsRaised
        TextOptions.DisabledColors.ShadeColor = clBlack
        TextOptions.Shadow.Color = clGray
        TextOptions.Shadow.XOffset = 20
        TextOptions.Shadow.YOffset = 15
        TextOptions.ExtrudeEffects.Depth = 5
        TextOptions.ExtrudeEffects.FarColor = clGray
      end
      object skLabel9: TskLabel
        Left = 117
        Top = 174
        Caption = 'WAVE Form'
        FocusControl = cbWavForm
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clBlue
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
        TextOptions.HighlightColor = clYellow
        TextOptions.ShadeColor = clNavy
        TextOptions.Style = sklsRaised
        TextOptions.DisabledColors.ShadeColor = clBlack
        TextOptions.Shadow.Color = clGray
        TextOptions.Shadow.XOffset = 20
        TextOptions.Shadow.YOffset = 15
        TextOptions.ExtrudeEffects.Depth = 5
        TextOptions.ExtrudeEffects.FarColor = clGray
      end
      object cbWavForm: TComboBox
        Left = 193
        Top = 172
        Width = 143
        Height = 22
        Style = csDropDown
        Items.Strings = (
          'Sine  '
          'Square'
          'Triangle'
          'Sawtooth'
          'Noise')
        OnCloseUp = cbWavFormCloseUp
      end
      object VolL: TskLabel
        Left = 228
        Top = 9
        Caption = 'L R Volume :'
        Font.Name = 'Tahoma'
        Font.Height = -11
        Font.Color = clBlue
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
        TextOptions.HighlightColor = clYellow
        TextOptions.ShadeColor = clNavy
        TextOptions.Style = sklsRaised
        TextOptions.DisabledColors.ShadeColor = clBlack
        TextOptions.Shadow.Color = clGray
        TextOptions.Shadow.XOffset = 20
        TextOptions.Shadow.YOffset = 15
        TextOptions.ExtrudeEffects.Depth = 5
        TextOptions.ExtrudeEffects.FarColor = clGray
      end
      object edVL: TEdit
        Left = 300
        Top = 8
        Width = 29
        Height = 19
        ReadOnly = True
      end
      object edVR: TEdit
        Left = 332
        Top = 8
        Width = 29
        Height = 19
        ReadOnly = True
      end
      object tbL: TTrackBar
        Left = 370
        Top = 8
        Width = 21
        Height = 156
        Orientation = trVertical
        Max = 100
        Min = 1
        Position = 60
        OnChange = tbLChange
      end
      object tbR: TTrackBar
        Left = 393
        Top = 8
        Width = 21
        Height = 156
        Orientation = trVertical
        Max = 100
        Min = 1
        Position = 80
        OnChange = tbRChange
      end
      object btnpreset: TSpeedButton
        Left = 367
        Top = 165
        Width = 48
        Height = 17
        Caption = 'Preset'
        OnClick = btnpresetClick
      end
      object skLabel8: TskLabel
        Left = 4
        Top = 128
        Caption = 'Octave'
        FocusControl = troct
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clBlue
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
        TextOptions.HighlightColor = clYellow
        TextOptions.ShadeColor = clNavy
        TextOptions.Style = sklsRaised
        TextOptions.DisabledColors.ShadeColor = clBlack
        TextOptions.Shadow.Color = clGray
        TextOptions.Shadow.XOffset = 20
        TextOptions.Shadow.YOffset = 15
        TextOptions.ExtrudeEffects.Depth = 5
        TextOptions.ExtrudeEffects.FarColor = clGray
      end
      object lbloct: TLabel
        Left = 80
        Top = 129
        Width = 30
        Height = 14
        Caption = '4'
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clRed
        ParentFont = False
        Transparent = True
      end
      object troct: TTrackBar
        Left = 0
        Top = 142
        Width = 117
        Height = 18
        Max = 9
        Min = 0
        Position = 4
        OnChange = troctChange
      end
      object skLabel10: TskLabel
        Left = 5
        Top = 162
        Caption = 'Ampitude'
        FocusControl = tramp
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clBlue
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
        TextOptions.HighlightColor = clYellow
        TextOptions.ShadeColor = clNavy
        TextOptions.Style = sklsRaised
        TextOptions.DisabledColors.ShadeColor = clBlack
        TextOptions.Shadow.Color = clGray
        TextOptions.Shadow.XOffset = 20
        TextOptions.Shadow.YOffset = 15
        TextOptions.ExtrudeEffects.Depth = 5
        TextOptions.ExtrudeEffects.FarColor = clGray
      end
      object lblAmp: TLabel
        Left = 80
        Top = 163
        Width = 30
        Height = 14
        Caption = '30'
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clRed
        ParentFont = False
        Transparent = True
      end
      object tramp: TTrackBar
        Left = 0
        Top = 177
        Width = 117
        Height = 18
        Max = 100
        Min = 0
        Position = 30
        OnChange = trampChange
      end
      object chster: TCheckBox
        Left = 351
        Top = 185
        Width = 66
        Height = 15
        Caption = 'Stereo'
        Checked = True
        OnClick = chsterClick
      end
      object chPlay: TCheckBox
        Left = 9
        Top = 198
        Width = 110
        Height = 15
        Caption = 'Play ADSR/Play'
        Checked = True
        OnClick = chQualClick
      end
      object Bevel1: TBevel
        Left = 5
        Top = 206
        Width = 405
        Height = 63
      end
      object chSND: TCheckBox
        Left = 197
        Top = 207
        Width = 140
        Height = 15
        Caption = 'Use Sound card'
        Checked = True
        OnClick = chKeepClick
      end
      object chAuto: TCheckBox
        Left = 197
        Top = 222
        Width = 140
        Height = 15
        Caption = 'Auto Change'
        Checked = True
        OnClick = chKeepClick
      end
      object chReso: TCheckBox
        Left = 197
        Top = 237
        Width = 140
        Height = 15
        Caption = 'Resolution 16/8 Bit'
        Checked = True
        OnClick = chResoClick
      end
      object chQual: TCheckBox
        Left = 197
        Top = 251
        Width = 140
        Height = 15
        Caption = 'Quality Hi/Lo'
        Checked = True
        OnClick = chQualClick
      end
      object btnPrev: TskImageBtn
        Left = 14
        Top = 218
        Width = 48
        Height = 45
        Caption = '<<'
        Color = clTeal
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
        Font.Color = clWindowText
        Font.Style = [fsBold]
        ParentFont = False
        Image = 'button-up.png'
        ImageDown = 'button-down.png'
        Options = [boFocusable, boFocusRect]
        ShadeColors.BtnFocus = clYellow
        NumGlyphs = 1
        TextOptions.Style = sklsRaised
        TextOptions.ShadeColor = clNone
        OnClick = btnPrevClick
      end
      object btnNext: TskImageBtn
        Left = 62
        Top = 218
        Width = 48
        Height = 45
        Caption = '>>'
        Color = clTeal
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
        Font.Color = clWindowText
        Font.Style = [fsBold]
        ParentFont = False
        Image = 'button-up.png'
        ImageDown = 'button-down.png'
        Options = [boFocusable, boFocusRect]
        ShadeColors.BtnFocus = clYellow
        NumGlyphs = 0
        TextOptions.Style = sklsRaised
        TextOptions.ShadeColor = clNone
        OnClick = btnNextClick
      end
      object btnSave: TskImageBtn
        Left = 110
        Top = 218
        Width = 48
        Height = 45
        Caption = 'Save'
        Color = clTeal
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
        Font.Color = clWindowText
        Font.Style = [fsBold]
        ParentFont = False
        Image = 'button-up.png'
        ImageDown = 'button-down.png'
        Options = [boFocusable, boFocusRect]
        ShadeColors.BtnFocus = clYellow
        NumGlyphs = 1
        TextOptions.Style = sklsRaised
        TextOptions.ShadeColor = clNone
        OnClick = btnSaveClick
      end
      object btnClose: TskImageBtn
        Left = 353
        Top = 218
        Width = 48
        Height = 45
        Caption = 'Close'
        Color = clTeal
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
        Font.Color = clWindowText
        Font.Style = [fsBold]
        ParentFont = False
        Image = 'button-up.png'
        ImageDown = 'button-down.png'
        Options = [boFocusable, boFocusRect]
        ShadeColors.BtnFocus = clYellow
        NumGlyphs = 0
        TextOptions.Style = sklsRaised
        TextOptions.ShadeColor = clNone
        OnClick = btnCloseClick
      end
      object tbLine: TTrackBar
        Left = 2
        Top = 270
        Width = 410
        Height = 21
        Max = 50000
        Min = 15000
        Position = 15000
        OnChange = tbLineChange
      end
    end
    object TabSheet2: TTabSheet
      Caption = 'About Box'
      object Panel2: TPanel
        Left = 10
        Top = -1
        Width = 105
        Height = 125
        BevelOuter = bvLowered
        object imgAuthor: TImage
          Left = 1
          Top = 1
          Width = 103
          Height = 123
          Picture = 'author.jpg'
          Stretch = True
        end
      end
      object mmoIntro: TMemo
        Left = 128
        Top = 3
        Width = 277
        Height = 120
        Color = clBlack
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clLime
        ParentFont = False
        ScrollBars = ssVertical
        Lines.Strings = (
          'A tone may climb past every ear,'
          'and still be heard where it is meant:'
          'music for the few, silence for the rest.'
          ''
          'Tessolon 3.0 sweeps a band of high'
          'tones through the sound card or the'
          'PC speaker, one step per tick, as'
          'each pest profile describes. It makes'
          'no claim to repel anything: studies'
          'found no lasting effect on pests.'
          'Pick a profile and press Go; tune'
          'the profiles on the Setup page.')
      end
      object edtAuthor: TEdit
        Left = 128
        Top = 125
        Width = 178
        Height = 22
        Color = clBlack
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clLime
        ParentFont = False
        ReadOnly = True
        Text = 'Made by the Tessolon team'
        Hint = 'The people behind Tessolon'
        ShowHint = True
      end
      object pnlBack: TPanel
        Left = 2
        Top = 150
        Width = 409
        Height = 141
        object Image3: TImage
          Left = 12
          Top = 20
          Width = 105
          Height = 105
          Picture = 'speaker-front.jpg'
          Stretch = True
        end
        object Image4: TImage
          Left = 142
          Top = 20
          Width = 105
          Height = 105
          Picture = 'speaker-back.jpg'
          Stretch = True
        end
        object skLabel23: TskLabel
          Left = 255
          Top = 31
          Caption = #3623#3636#3608#3637#3585#3634#3619#3607#3635#3621#3635#3650#3614#3591#3604#3641#3607#3637#3656'...'
          Font.Name = 'Tahoma'
          Font.Height = -15
          Font.Color = $000080FF
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
        end
        object skLabel24: TskLabel
          Left = 260
          Top = 65
          Caption = 'Web '#3604#3657#3634#3609#3621#3656#3634#3591#3609#3637#3657' Click '#3648#3621#3618
          Font.Name = 'Tahoma'
          Font.Height = -12
          Font.Color = clFuchsia
          Font.Style = [fsBold]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
        end
        object skLabel17: TskLabel
          Left = 262
          Top = 94
          Caption = 'tessolon.test'
          Font.Name = 'Tahoma'
          Font.Height = -15
          Font.Color = clBlue
          Font.Style = [fsBold, fsUnderline]
          ParentFont = False
          Transparent = True
          TextOptions.HighlightColor = clYellow
          TextOptions.ShadeColor = clNavy
          TextOptions.Style = sklsRaised
          AutoSize = False
          Width = 130
          Height = 18
          Hint = 'Click for go to tessolon.test'
          ShowHint = True
          OnClick = skLabel17Click
        end
      end
    end
    object TabSheet3: TTabSheet
      Caption = 'Sound output'
      object lblDevice: TLabel
        Left = 8
        Top = 6
        Caption = 'Output device: the default output'
      end
      object lblRate: TLabel
        Left = 8
        Top = 22
        Caption = 'Runs at: not known until a tone plays'
      end
      object chBand: TCheckBox
        Left = 8
        Top = 39
        Width = 400
        Height = 15
        Caption = 'Band-limited tones (nothing folds back into the audible band)'
        OnClick = chBandClick
      end
      object pbSpectrum: TSpectrumView
        Left = 3
        Top = 58
        Width = 409
        Height = 114
      end
      object chStart: TCheckBox
        Left = 8
        Top = 176
        Width = 400
        Height = 15
        Caption = 'Start with the session, in the tray, sweeping the pest chosen last'
        OnClick = chStartClick
      end
      object chBetween: TCheckBox
        Left = 8
        Top = 195
        Width = 140
        Height = 15
        Caption = 'Sweep only between'
        OnClick = chBetweenClick
      end
      object edFrom: TEdit
        Left = 150
        Top = 193
        Width = 44
        Height = 19
        Text = '22:00'
        OnChange = edBetweenChange
      end
      object lblAnd: TLabel
        Left = 200
        Top = 196
        Caption = 'and'
      end
      object edTo: TEdit
        Left = 226
        Top = 193
        Width = 44
        Height = 19
        Text = '06:00'
        OnChange = edBetweenChange
      end
      object lblBetween: TLabel
        Left = 277
        Top = 196
        Font.Name = 'Tahoma'
        Font.Height = -12
        Font.Color = clRed
        ParentFont = False
      end
      object chUltra: TCheckBox
        Left = 8
        Top = 214
        Width = 400
        Height = 15
        Caption = 'Ultrasound only: nothing below 20 kHz, 16-bit at 96000 Hz'
        OnClick = chUltraClick
      end
      object lblNote: TLabel
        Left = 8
        Top = 232
        Width = 400
        Height = 60
      end
    end
  end
end
