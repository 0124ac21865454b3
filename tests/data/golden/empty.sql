 DROP TABLE IF EXISTS empty;
 CREATE TABLE empty (
ID                                                Integer,
LABEL                                             Char(20),
CREATED                                           Char(8));
