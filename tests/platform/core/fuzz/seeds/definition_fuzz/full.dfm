object frmSample: TSampleForm
  Count = 7
  Ratio = 0.1
  Active = False
  Shape = shTriangle
  Styles = [fsBold, fsUnderline]
  Color = clTeal
  Font.Name = 'MS Sans Serif'
  Caption = 'It''s '#8364#128512'?'
  Items.Strings = (
    'one'
    '')
  Buddy = Inner
  object pnlOuter: TSamplePanel
    Color = $00FF8000
    Data = {
      000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
      FF}
    OnChange = SampleChange
    object Inner: TSamplePanel
      Tag = -4
      Picture = 'skin.bmp'
      Buddy = pnlOuter
    end
  end
  object Lone: TSample
    Caption = 'a' +
      'b'
  end
end
