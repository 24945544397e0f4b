object DropBox: TForm
  Left = 120
  Top = 120
  Width = 360
  Height = 300
  Caption = 'ドロップ箱'
  object Hint1: TLabel
    Left = 8
    Top = 6
    Caption = 'ファイルや文字をここへドロップ、' +
      '下の帯から外へドラッグ'
  end
  object Files: TListBox
    Left = 8
    Top = 26
    Width = 160
    Height = 180
    TabOrder = 0
  end
  object Texts: TMemo
    Left = 176
    Top = 26
    Width = 168
    Height = 180
    ScrollBars = ssVertical
    TabOrder = 1
  end
  object FileGrip: TPanel
    Left = 8
    Top = 212
    Width = 160
    Height = 24
    BevelOuter = bvLowered
    Caption = 'ファイルをドラッグ'
    Cursor = crHandPoint
    TabOrder = 2
  end
  object TextGrip: TPanel
    Left = 176
    Top = 212
    Width = 168
    Height = 24
    BevelOuter = bvLowered
    Caption = '文字をドラッグ'
    Cursor = crHandPoint
    TabOrder = 3
  end
  object CopyButton: TButton
    Left = 8
    Top = 242
    Width = 120
    Height = 25
    Caption = 'この形を複製'
    TabOrder = 4
  end
end
