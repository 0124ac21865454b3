 DROP TABLE IF EXISTS people;
 CREATE TABLE people (
NAME                                              Char(10),
CITY                                              Char(10),
AGE                                               Integer);
insert into people values('Smith','Leeds',42);
