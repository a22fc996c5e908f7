-- A girl's grade-2 certificate: the "a" endings come from her gender.
create table `PESEL15240798765`( id TEXT, comp_name TEXT, value TEXT );
insert into `PESEL15240798765` values( 'DANE UCZNIA', 'Imie_DATA_EDIT', 'Żaneta' );
insert into `PESEL15240798765` values( 'DANE UCZNIA', 'Nazwisko_DATA_EDIT', 'Źrebiec-Wąs' );
insert into `PESEL15240798765` values( 'DANE UCZNIA', 'Plec_DATA_COMBOBOX', 'kobieta' );
insert into `PESEL15240798765` values( 'DANE UCZNIA', 'UrodzonyDnia_DATA_EDIT', '7 lipca' );
insert into `PESEL15240798765` values( 'DANE UCZNIA', 'UrodzonyRok_DATA_COMBOBOX', '2015' );
insert into `PESEL15240798765` values( 'DANE UCZNIA', 'UrodzonyMiasto_DATA_COMBOBOX', 'Gdańsk' );
insert into `PESEL15240798765` values( 'DANE UCZNIA', 'Pesel_DATA_EDIT', '15240798765' );
insert into `PESEL15240798765` values( 'SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.', 'ZMIENNA_Klasa_STR1_DATA_EDIT', 'drugiej' );
insert into `PESEL15240798765` values( 'SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.', 'ZMIENNA_TakNieOtrzymal_STR1_DATA_EDIT', '' );
insert into `PESEL15240798765` values( 'SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.', 'ZMIENNA_PromocjiE_STR1_DATA_EDIT', 'ę' );
insert into `PESEL15240798765` values( 'SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.', 'ZMIENNA_PromocjaKlasa_STR1_DATA_EDIT', 'trzeciej' );
insert into `PESEL15240798765` values( 'SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.', 'ZMIENNA_SzkolaWE_STR1_DATA_EDIT', 'w' );
