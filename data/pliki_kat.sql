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
