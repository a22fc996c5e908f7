-- Calibration of the printed layouts: one table per layout, one row per
-- printed object, rectangles in page units (885 x 1314).
create table `klasa_1_3`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER,
    font_name TEXT, font_size INTEGER, font_align INTEGER, font_style_bold INTEGER,
    font_style_italic INTEGER, font_style_underline INTEGER, font_style_strike INTEGER );
create table `klasa_1_3_bk`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER,
    font_name TEXT, font_size INTEGER, font_align INTEGER, font_style_bold INTEGER,
    font_style_italic INTEGER, font_style_underline INTEGER, font_style_strike INTEGER );
create table `wywiadowka`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER,
    font_name TEXT, font_size INTEGER, font_align INTEGER, font_style_bold INTEGER,
    font_style_italic INTEGER, font_style_underline INTEGER, font_style_strike INTEGER );
create table `arkusz_str1`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER,
    font_name TEXT, font_size INTEGER, font_align INTEGER, font_style_bold INTEGER,
    font_style_italic INTEGER, font_style_underline INTEGER, font_style_strike INTEGER );
create table `arkusz_str2_5`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER,
    font_name TEXT, font_size INTEGER, font_align INTEGER, font_style_bold INTEGER,
    font_style_italic INTEGER, font_style_underline INTEGER, font_style_strike INTEGER );
create table `arkusz_str1b`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER,
    font_name TEXT, font_size INTEGER, font_align INTEGER, font_style_bold INTEGER,
    font_style_italic INTEGER, font_style_underline INTEGER, font_style_strike INTEGER );
create table `arkusz_str2b_5b`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER,
    font_name TEXT, font_size INTEGER, font_align INTEGER, font_style_bold INTEGER,
    font_style_italic INTEGER, font_style_underline INTEGER, font_style_strike INTEGER );
