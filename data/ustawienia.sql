-- Settings database shipped with the program (the user's copy lives in the
-- program folder). Every flag is 0 or 1.
create table `settings`( name TEXT, text_value TEXT, int_value INTEGER );
insert into `settings`( name, int_value ) values( 'import_alert', 1 );
insert into `settings`( name, int_value ) values( 'create_school_data_template', 1 );
insert into `settings`( name, int_value ) values( 'strike_empty_fields', 1 );
insert into `settings`( name, int_value ) values( 'print_without_dots', 0 );
insert into `settings`( name, int_value ) values( 'word_wrap', 0 );
insert into `settings`( name, int_value ) values( 'auto_word_wrap', 0 );

-- Printer margin sets in millimetres: the page picture of each side is
-- stretched onto (X1, Y1)-(X2, Y2) of the sheet.
create table `margin`( name TEXT,
    Page1X1 INTEGER, Page1Y1 INTEGER, Page1X2 INTEGER, Page1Y2 INTEGER,
    Page2X1 INTEGER, Page2Y1 INTEGER, Page2X2 INTEGER, Page2Y2 INTEGER );
insert into `margin` values( 'Standardowe', 0, 0, 210, 297, 0, 0, 210, 297 );

-- Proposals of the pupil data dialog; towns are added as they are typed.
create table `city`( name TEXT );
create table `province`( name TEXT );
insert into `province`( name ) values( 'dolnośląskie' );
insert into `province`( name ) values( 'kujawsko-pomorskie' );
insert into `province`( name ) values( 'lubelskie' );
insert into `province`( name ) values( 'lubuskie' );
insert into `province`( name ) values( 'łódzkie' );
insert into `province`( name ) values( 'małopolskie' );
insert into `province`( name ) values( 'mazowieckie' );
insert into `province`( name ) values( 'opolskie' );
insert into `province`( name ) values( 'podkarpackie' );
insert into `province`( name ) values( 'podlaskie' );
insert into `province`( name ) values( 'pomorskie' );
insert into `province`( name ) values( 'śląskie' );
insert into `province`( name ) values( 'świętokrzyskie' );
insert into `province`( name ) values( 'warmińsko-mazurskie' );
insert into `province`( name ) values( 'wielkopolskie' );
insert into `province`( name ) values( 'zachodniopomorskie' );
