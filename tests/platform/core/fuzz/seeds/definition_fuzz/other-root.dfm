object frmOther: TSampleForm
  Buddy = frmSample.Inner
  Color = -2147483643
  object Item: TSample
    Ratio = 1.5E3
  end
end
