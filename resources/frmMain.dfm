object frmMain: TfrmMain
  Left = 0
  Top = 0
  Width = 337
  Height = 362
  Caption = 'Tessolon 3.0'
  Color = clTeal
  Font.Name = 'MS Sans Serif'
  BorderStyle = bsNone
  Position = poScreenCenter
end
