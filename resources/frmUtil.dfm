object frmUtil: TfrmUtil
  Left = 0
  Top = 0
  Width = 420
  Height = 400
  Caption = 'Adjustment'
  Font.Name = 'MS Sans Serif'
  BorderStyle = bsDialog
  Position = poScreenCenter
end
