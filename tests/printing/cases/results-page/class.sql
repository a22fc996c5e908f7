-- A MEN-I/37/2 yearly results page (page 3) with a memo and the grades.
create table `PESEL13311254321`( id TEXT, comp_name TEXT, value TEXT );
insert into `PESEL13311254321` values( 'DANE UCZNIA', 'Imie_DATA_EDIT', 'Bartosz' );
insert into `PESEL13311254321` values( 'DANE UCZNIA', 'Nazwisko_DATA_EDIT', 'Bąk' );
insert into `PESEL13311254321` values( 'DANE UCZNIA', 'Plec_DATA_COMBOBOX', 'mężczyzna' );
insert into `PESEL13311254321` values( 'DANE UCZNIA', 'Pesel_DATA_EDIT', '13311254321' );
insert into `PESEL13311254321` values( 'ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_RokSzkolny_DATA_EDIT', '2022/2023' );
insert into `PESEL13311254321` values( 'ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_Zachowanie_DATA_MEMO01', 'Bartosz jest uprzejmy' );
insert into `PESEL13311254321` values( 'ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_Zachowanie_DATA_MEMO02', 'i pomocny.' );
insert into `PESEL13311254321` values( 'ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_Religia_DATA_EDIT', 'celujący' );
insert into `PESEL13311254321` values( 'ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA', 'ZMIENNA_GodzinOgolem_DATA_EDIT', '12' );
