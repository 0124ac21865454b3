 DROP TABLE IF EXISTS cyrillic;
 CREATE TABLE cyrillic (
"ИМЯ"                                             Char(24));
insert into cyrillic values('Привет & <мир>');
