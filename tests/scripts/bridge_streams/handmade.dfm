object Handmade: TForm
  Left = 100
  Top = 80
  Width = 320
  Height = 240
  Caption = 'éËèëÇ´ÇÃ'#12501#12457#12540#12512
  Color = clBtnFace
  Font.Height = -12
  Font.Name = 'MS UI Gothic'
  OnCreate = HandmadeCreate
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 200
    Height = 100
    BevelOuter = bvLowered
    TabOrder = 0
    object Label1: TLabel
      Left = 4
      Top = 4
      Caption = 'Name' +
        ':'
      FocusControl = Edit1
    end
    object Edit1: TEdit
      Left = 4
      Top = 24
      Width = 150
      Height = 21
      Anchors = [akLeft, akTop, akRight]
      TabOrder = 0
      Text = 'abc'
    end
  end
  object ListBox1: TListBox
    Left = 212
    Top = 8
    Width = 100
    Height = 80
    Items.Strings = (
      'one'
      'two'
      'éO')
    ItemIndex = 1
    TabOrder = 1
    OnClick = ListBox1Click
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 250
    OnTimer = Timer1Timer
  end
end
