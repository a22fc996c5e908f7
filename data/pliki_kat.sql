-- Catalogue of what must exist in the user's program folder. A file with
-- `update` set replaces the user's copy once after an upgrade.
create table `dir`( name TEXT );
insert into `dir` values( 'grafika' );
insert into `dir` values( 'ocena_opisowa' );
insert into `dir` values( 'ocena_opisowa\kategorie_edukacyjne' );
insert into `dir` values( 'ocena_opisowa\kategorie_zachowanie' );
insert into `dir` values( 'ocena_opisowa\szablony_edukacyjne' );
insert into `dir` values( 'ocena_opisowa\szablony_zachowanie' );
insert into `dir` values( 'aktualizacja' );

create table `files`( name TEXT, `update` INTEGER );
insert into `files` values( 'ustawienia.sqset', 0 );
insert into `files` values( 'bruma_kalibracja.sqset', 0 );

-- The starter phrase library: copied once, then the user's own.
insert into `files` values( 'ocena_opisowa\kategorie_zachowanie\kultura osobista', 0 );
insert into `files` values( 'ocena_opisowa\kategorie_zachowanie\aktywność', 0 );
insert into `files` values( 'ocena_opisowa\kategorie_zachowanie\współpraca w grupie', 0 );
insert into `files` values( 'ocena_opisowa\kategorie_edukacyjne\czytanie', 0 );
insert into `files` values( 'ocena_opisowa\kategorie_edukacyjne\pisanie', 0 );
insert into `files` values( 'ocena_opisowa\kategorie_edukacyjne\matematyka', 0 );
insert into `files` values( 'ocena_opisowa\kategorie_edukacyjne\przyroda', 0 );
insert into `files` values( 'ocena_opisowa\szablony_zachowanie\zachowanie wzorowe', 0 );
insert into `files` values( 'ocena_opisowa\szablony_edukacyjne\bardzo dobre osiągnięcia', 0 );

-- Pictures: the emblem and the stamp frame for printing, the blank forms
-- behind the preview. Replaced once when a new release draws them anew.
insert into `files` values( 'grafika\orzel.pic', 0 );
insert into `files` values( 'grafika\m_p.bmp', 0 );
insert into `files` values( 'grafika\sw_str1_prw.png', 0 );
insert into `files` values( 'grafika\sw_str2_prw.png', 0 );
insert into `files` values( 'grafika\wywiadowka_prw.png', 0 );
insert into `files` values( 'grafika\arkusz_prw.png', 0 );

-- The editors' pictures of the blank forms.
insert into `files` values( 'grafika\klasa_1.png', 0 );
insert into `files` values( 'grafika\klasa_2.png', 0 );
insert into `files` values( 'grafika\wywiadowka_1.png', 0 );
insert into `files` values( 'grafika\arkusz_str1_1.png', 0 );
insert into `files` values( 'grafika\arkusz_str1b_1.png', 0 );
insert into `files` values( 'grafika\arkusz_wyniki_1.png', 0 );
