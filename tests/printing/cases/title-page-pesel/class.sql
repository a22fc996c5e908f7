-- The MEN-I/37/2 title page: the PESEL in its eleven digit boxes.
create table `PESEL14282301234`( id TEXT, comp_name TEXT, value TEXT );
insert into `PESEL14282301234` values( 'DANE UCZNIA', 'Imie_DATA_EDIT', 'Łucja' );
insert into `PESEL14282301234` values( 'DANE UCZNIA', 'Nazwisko_DATA_EDIT', 'Łąka' );
insert into `PESEL14282301234` values( 'DANE UCZNIA', 'Plec_DATA_COMBOBOX', 'kobieta' );
insert into `PESEL14282301234` values( 'DANE UCZNIA', 'UrodzonyDnia_DATA_EDIT', '23 sierpnia' );
insert into `PESEL14282301234` values( 'DANE UCZNIA', 'UrodzonyRok_DATA_COMBOBOX', '2014' );
insert into `PESEL14282301234` values( 'DANE UCZNIA', 'UrodzonyMiasto_DATA_COMBOBOX', 'Kraków' );
insert into `PESEL14282301234` values( 'DANE UCZNIA', 'Pesel_DATA_EDIT', '14282301234' );
insert into `PESEL14282301234` values( 'ARKUSZ OCEN STR 1 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_UrodzonyMiasto_DATA_EDIT', 'Krakowie' );
insert into `PESEL14282301234` values( 'ARKUSZ OCEN STR 1 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_RokSzkolny1_DATA_EDIT', '2021' );
insert into `PESEL14282301234` values( 'ARKUSZ OCEN STR 1 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_RokSzkolny2_DATA_EDIT', '2022' );
